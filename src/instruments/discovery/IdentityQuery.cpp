#include "instruments/discovery/IdentityQuery.h"

#include "automation/AutomationError.h"
#include "instruments/ResourceString.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/transports/UsbtmcTransport.h"
#include "instruments/transports/Vxi11Transport.h"

namespace ixo {

namespace {

// The factory's transport, except where the search knows more than the resource says: the
// portmapper that answered, and the sysfs tree searched.
std::unique_ptr<InstrumentTransport> transportFor(const DiscoveryCandidate &candidate,
                                                  const QString &sysfsRoot,
                                                  const QString &devRoot) {
    const ResourceString resource = ResourceString::parse(candidate.resource);
    if (resource.interface == ResourceString::Interface::TcpipInstr)
        return std::make_unique<Vxi11Transport>(resource.host, resource.deviceName,
                                                candidate.resource, candidate.portmapperPort);
    if (resource.interface == ResourceString::Interface::Usb)
        return std::make_unique<UsbtmcTransport>(
            resource.usbVendor, resource.usbProduct, resource.usbSerial, resource.usbInterface,
            candidate.resource, sysfsRoot.isEmpty() ? UsbtmcTransport::kSysfsRoot : sysfsRoot,
            devRoot.isEmpty() ? UsbtmcTransport::kDevRoot : devRoot);
    return InstrumentTransport::create(resource);
}

} // namespace

IdentityQuery::Answer IdentityQuery::ask(const DiscoveryCandidate &candidate, int timeoutMs,
                                         const QString &sysfsRoot, const QString &devRoot) {
    try {
        ScpiInstrument instrument(transportFor(candidate, sysfsRoot, devRoot));
        instrument.setTimeout(timeoutMs);
        const ScpiInstrument::Identity id = instrument.identity();
        instrument.disconnect();
        return {QStringList{id.manufacturer, id.model, id.serial, id.firmware}.join(u','), {}};
    } catch (const AutomationError &error) {
        return {{}, error.description()};
    }
}

} // namespace ixo
