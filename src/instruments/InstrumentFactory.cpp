#include "instruments/InstrumentFactory.h"

#include "instruments/InstrumentProfiles.h"
#include "instruments/simulator/SimulatedInstrument.h"

namespace ixo {

const QString InstrumentFactory::kSimulator = QStringLiteral("SIM");

std::shared_ptr<ScpiInstrument> InstrumentFactory::open(const QString &resource) {
    return open(resource, InstrumentProfiles::load());
}

std::shared_ptr<ScpiInstrument>
InstrumentFactory::open(const QString &resource, std::shared_ptr<const InstrumentProfiles> profiles,
                        const QString &profileName) {
    std::shared_ptr<ScpiInstrument> instrument;
    if (resource.trimmed().compare(kSimulator, Qt::CaseInsensitive) == 0)
        instrument = std::make_shared<SimulatedInstrument>();
    else
        instrument = std::make_shared<ScpiInstrument>(resource.trimmed());
    instrument->useProfiles(std::move(profiles), profileName);
    return instrument;
}

} // namespace ixo
