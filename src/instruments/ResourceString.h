#pragma once

#include "automation/Export.h"
#include "instruments/transports/SerialSettings.h"

#include <QString>

namespace ixo {

// A VISA resource string such as "TCPIP0::192.168.1.20::5025::SOCKET". Keywords are read in any
// letter case; toString() gives the canonical spelling. GPIB and the other VISA interfaces are
// recognised, so that asking for one gives "not supported" rather than "invalid".
class IXO_EXPORT ResourceString {
public:
    enum class Interface {
        TcpipSocket, // TCPIP[board]::host::port::SOCKET
        TcpipInstr,  // VXI-11: TCPIP[board]::host[::device name][::INSTR]
        TcpipHislip, // HiSLIP: TCPIP[board]::host::hislip0[,port][::INSTR]
        Usb,         // USBTMC: USB[board]::vendor::product::serial[::interface][::INSTR]
        Serial,      // ASRLn[,options][::INSTR] or ASRL/dev/tty...[,options][::INSTR]
        Gpib,        // GPIB[board]::primary[::secondary][::INSTR]
        Other,       // VXI, GPIB-VXI, PXI: recognised only
    };

    static constexpr quint16 kDefaultSocketPort = 5025;
    static constexpr quint16 kDefaultHislipPort = 4880;
    static const QString kDefaultVxi11Device;

    Interface interface = Interface::TcpipSocket;
    int board = 0;
    // TCPIP: the host name or address (an IPv6 address without its brackets).
    QString host;
    // SOCKET: the port; HiSLIP: the port, 4880 unless given.
    quint16 port = 0;
    // The LAN device name: VXI-11 "inst0" unless given, HiSLIP the sub-address "hislip0".
    QString deviceName;
    // USB: the ids, the serial number as the device reports it, the interface number or -1.
    quint16 usbVendor = 0;
    quint16 usbProduct = 0;
    QString usbSerial;
    int usbInterface = -1;
    // ASRL: the device file; ASRLn is /dev/ttyS<n-1>, as COM1 is the first port.
    QString serialDevice;
    SerialSettings serial;
    // GPIB: the primary address and the secondary one or -1. Other: the text as written.
    int gpibPrimary = 0;
    int gpibSecondary = -1;
    QString other;

    // Raises VisaStatus::InvalidResourceName for text that is not a resource string.
    static ResourceString parse(const QString &text);
    // The forms this library connects to, for messages.
    static QString supportedForms();

    // The canonical spelling, e.g. "TCPIP0::host::5025::SOCKET".
    QString toString() const;
    QString interfaceName() const;
};

} // namespace ixo
