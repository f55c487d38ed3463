#pragma once

#include <QString>

namespace ixo {

// A VISA resource string such as "TCPIP0::192.168.1.20::5025::SOCKET". The forms of the other
// interfaces are recognised, so that asking for one gives "not supported" rather than "invalid".
class ResourceString {
public:
    enum class Interface { TcpipSocket, TcpipInstr, Usb, Gpib, Serial };

    static constexpr quint16 kDefaultSocketPort = 5025;

    Interface interface = Interface::TcpipSocket;
    int board = 0;
    // TCPIP: the host; USB: "vendor::product::serial"; GPIB: the primary address.
    QString address;
    // TCPIP SOCKET only.
    quint16 port = 0;

    // Raises VisaStatus::InvalidResourceName for text that is not a resource string.
    static ResourceString parse(const QString &text);

    // The canonical spelling, e.g. "TCPIP0::host::5025::SOCKET".
    QString toString() const;
    QString interfaceName() const;
};

} // namespace ixo
