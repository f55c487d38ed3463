#pragma once

#include <QString>
#include <memory>

namespace ixo {

class ScpiInstrument;

// Opens the instrument a user names: "SIM" (any letter case) for the simulated instrument in
// this process, or a VISA resource string such as "TCPIP::192.168.1.20::5025::SOCKET".
class InstrumentFactory {
public:
    static const QString kSimulator;

    // Raises the resource string's errors; the connection itself opens on first use.
    static std::shared_ptr<ScpiInstrument> open(const QString &resource);
};

} // namespace ixo
