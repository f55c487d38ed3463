#pragma once

#include "automation/Export.h"

#include <QString>
#include <map>
#include <memory>
#include <mutex>

namespace ixo {

class SimulatedDevice;

// The simulated devices of one process, one per family, so that an instrument opened again on
// any thread finds its device as the last connection left it.
class IXO_EXPORT SimulatedDevices {
public:
    // The process's devices, which "SIM::<family>" resources reach.
    static SimulatedDevices &shared();

    // The family's device (any letter case), made on first use; nullptr for a name not in
    // SimulatedDevice::familyNames().
    std::shared_ptr<SimulatedDevice> ofFamily(const QString &family);

private:
    std::mutex m_mutex;
    std::map<QString, std::shared_ptr<SimulatedDevice>> m_devices;
};

} // namespace ixo
