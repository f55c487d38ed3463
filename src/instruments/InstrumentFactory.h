#pragma once

#include <QString>
#include <memory>

namespace ixo {

class InstrumentProfiles;
class ScpiInstrument;

// Opens the instrument a user names: "SIM" (any letter case) for the simulated instrument in
// this process, or a VISA resource string such as "TCPIP::192.168.1.20::5025::SOCKET".
class InstrumentFactory {
public:
    static const QString kSimulator;

    // Raises the resource string's errors; the connection itself opens on first use. The
    // instrument uses the built-in and the user's profiles.
    static std::shared_ptr<ScpiInstrument> open(const QString &resource);
    // The instrument uses the profile named, or else the one of profiles matching its *IDN?;
    // raises an error for a name profiles does not know.
    static std::shared_ptr<ScpiInstrument> open(const QString &resource,
                                                std::shared_ptr<const InstrumentProfiles> profiles,
                                                const QString &profileName = QString());
};

} // namespace ixo
