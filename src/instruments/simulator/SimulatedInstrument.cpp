#include "instruments/simulator/SimulatedInstrument.h"

#include "instruments/simulator/InProcessTransport.h"

namespace ixo {

// Spelled out rather than copied from SimulatedDevice: statics of other files may not be
// initialised yet.
const QString SimulatedInstrument::kDefaultModel = QStringLiteral("SG-100");
const QString SimulatedInstrument::kDefaultVersion = QStringLiteral("2.1.0");

SimulatedInstrument::SimulatedInstrument(QString model, QString version)
    : SimulatedInstrument(std::make_shared<SimulatedDevice>(std::move(model), std::move(version))) {
}

SimulatedInstrument::SimulatedInstrument(std::shared_ptr<SimulatedDevice> device)
    : ScpiInstrument(std::make_unique<InProcessTransport>(device))
    , m_device(std::move(device)) {
    setRestoreCommand(SimulatedDevice::kSetupCommand);
}

} // namespace ixo
