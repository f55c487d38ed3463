#include "instruments/simulator/SimulatedDevices.h"

#include "instruments/simulator/SimulatedDevice.h"

namespace ixo {

SimulatedDevices &SimulatedDevices::shared() {
    static SimulatedDevices devices;
    return devices;
}

std::shared_ptr<SimulatedDevice> SimulatedDevices::ofFamily(const QString &family) {
    const QString key = family.trimmed().toLower();
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_devices.find(key); found != m_devices.end())
        return found->second;
    auto device = SimulatedDevice::forFamily(key);
    if (device)
        m_devices.emplace(key, device);
    return device;
}

} // namespace ixo
