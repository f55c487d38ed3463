#include "instruments/InstrumentFactory.h"

#include "automation/AutomationError.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/simulator/InProcessTransport.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatedDevices.h"
#include "instruments/simulator/SimulatedInstrument.h"

namespace ixo {

const QString InstrumentFactory::kSimulator = QStringLiteral("SIM");
const QString InstrumentFactory::kSimulatorFamilyPrefix = QStringLiteral("SIM::");

std::shared_ptr<ScpiInstrument> InstrumentFactory::open(const QString &resource) {
    return open(resource, InstrumentProfiles::load());
}

std::shared_ptr<ScpiInstrument>
InstrumentFactory::open(const QString &resource, std::shared_ptr<const InstrumentProfiles> profiles,
                        const QString &profileName) {
    std::shared_ptr<ScpiInstrument> instrument = openUnprofiled(resource);
    instrument->useProfiles(std::move(profiles), profileName);
    return instrument;
}

void InstrumentFactory::checkResource(const QString &resource) {
    if (resource.trimmed().compare(kSimulator, Qt::CaseInsensitive) != 0 &&
        simulatedFamily(resource).isNull())
        ResourceString::parse(resource);
}

std::shared_ptr<ScpiInstrument> InstrumentFactory::openUnprofiled(const QString &resource) {
    if (resource.trimmed().compare(kSimulator, Qt::CaseInsensitive) == 0)
        return std::make_shared<SimulatedInstrument>();
    const QString family = simulatedFamily(resource);
    if (family.isNull())
        return std::make_shared<ScpiInstrument>(resource.trimmed());
    // A plain client rather than a SimulatedInstrument, whose restore command is the ixo
    // family's: the profile matching the family's *IDN? decides how it captures.
    return std::make_shared<ScpiInstrument>(
        std::make_unique<InProcessTransport>(SimulatedDevices::shared().ofFamily(family)));
}

QString InstrumentFactory::simulatedFamily(const QString &resource) {
    const QString trimmed = resource.trimmed();
    if (!trimmed.startsWith(kSimulatorFamilyPrefix, Qt::CaseInsensitive))
        return QString();
    const QString family = trimmed.mid(kSimulatorFamilyPrefix.size()).trimmed();
    if (!SimulatedDevice::familyNames().contains(family, Qt::CaseInsensitive))
        throw AutomationError(
            VisaStatus::InvalidResourceName, QStringLiteral("IxoInstrSetups.InstrumentFactory"),
            QStringLiteral("Invalid resource string \"%1\": the simulator has no family \"%2\"; "
                           "its families are %3")
                .arg(resource, family, SimulatedDevice::familyNames().join(QStringLiteral(", "))));
    return family;
}

} // namespace ixo
