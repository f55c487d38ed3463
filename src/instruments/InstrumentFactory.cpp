#include "instruments/InstrumentFactory.h"

#include "instruments/simulator/SimulatedInstrument.h"

namespace ixo {

const QString InstrumentFactory::kSimulator = QStringLiteral("SIM");

std::shared_ptr<ScpiInstrument> InstrumentFactory::open(const QString &resource) {
    if (resource.trimmed().compare(kSimulator, Qt::CaseInsensitive) == 0)
        return std::make_shared<SimulatedInstrument>();
    return std::make_shared<ScpiInstrument>(resource.trimmed());
}

} // namespace ixo
