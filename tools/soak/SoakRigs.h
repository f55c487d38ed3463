#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ixo {

class ScpiInstrument;
class SimulatedDevice;

namespace soak {

// A simulated device served over one transport, and the client talking to it.
class Rig {
public:
    virtual ~Rig() = default;
    virtual SimulatedDevice &device() = 0;
    virtual ScpiInstrument &client() = 0;
};

struct TransportEntry {
    QString name;
    std::function<std::unique_ptr<Rig>()> make;
};

const std::vector<TransportEntry> &transports();

} // namespace soak
} // namespace ixo
