#pragma once

#include "automation/Export.h"

#include <QString>
#include <memory>

namespace ixo {

class InstrumentProfiles;
class ScpiInstrument;

// Opens the instrument a user names: "SIM" (any letter case) for the simulated instrument in
// this process, "SIM::<family>" for the process's simulated instrument of one of the simulator's
// families (e.g. "SIM::tektronix-mso"), or a VISA resource string such as
// "TCPIP::192.168.1.20::5025::SOCKET".
class IXO_EXPORT InstrumentFactory {
public:
    static const QString kSimulator;
    static const QString kSimulatorFamilyPrefix;

    // Raises the resource string's errors; the connection itself opens on first use. The
    // instrument uses the built-in and the user's profiles.
    static std::shared_ptr<ScpiInstrument> open(const QString &resource);
    // The instrument uses the profile named, or else the one of profiles matching its *IDN?;
    // raises an error for a name profiles does not know.
    static std::shared_ptr<ScpiInstrument> open(const QString &resource,
                                                std::shared_ptr<const InstrumentProfiles> profiles,
                                                const QString &profileName = QString());
    // Raises the error open() would for the resource, without making an instrument.
    static void checkResource(const QString &resource);

private:
    static std::shared_ptr<ScpiInstrument> openUnprofiled(const QString &resource);
    // The family a "SIM::<family>" resource names, raising an error for one the simulator does
    // not have; null for another resource.
    static QString simulatedFamily(const QString &resource);
};

} // namespace ixo
