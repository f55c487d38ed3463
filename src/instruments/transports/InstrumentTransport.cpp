#include "instruments/transports/InstrumentTransport.h"

#include "automation/AutomationError.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/TcpSocketTransport.h"

namespace ixo {

InstrumentTransport::~InstrumentTransport() = default;

std::unique_ptr<InstrumentTransport> InstrumentTransport::create(const ResourceString &resource) {
    if (resource.interface == ResourceString::Interface::TcpipSocket)
        return std::make_unique<TcpSocketTransport>(resource.address, resource.port,
                                                    resource.toString());
    throw AutomationError(
        VisaStatus::NotSupported, QStringLiteral("IxoInstrSetups.InstrumentTransport"),
        QStringLiteral("%1 resources such as %2 are not supported yet; use a raw socket "
                       "resource TCPIP::host::port::SOCKET")
            .arg(resource.interfaceName(), resource.toString()));
}

} // namespace ixo
