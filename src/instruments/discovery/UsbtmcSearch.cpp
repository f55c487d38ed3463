#include "instruments/discovery/UsbtmcSearch.h"

#include "instruments/transports/UsbtmcTransport.h"

namespace ixo {

QList<DiscoveryCandidate> UsbtmcSearch::candidates(const QString &sysfsRoot,
                                                   const QString &devRoot) {
    QList<DiscoveryCandidate> found;
    for (const UsbtmcTransport::Device &device : UsbtmcTransport::devices(sysfsRoot, devRoot)) {
        // The interface number is left out: the driver binds one USBTMC interface per device.
        UsbtmcTransport::Device named = device;
        named.interfaceNumber = -1;
        found.append({named.resourceName(), QStringLiteral("usbtmc"), QString(), 0});
    }
    return found;
}

} // namespace ixo
