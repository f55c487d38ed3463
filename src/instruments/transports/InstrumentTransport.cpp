#include "instruments/transports/InstrumentTransport.h"

#include "automation/AutomationError.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/HislipTransport.h"
#include "instruments/transports/SerialTransport.h"
#include "instruments/transports/TcpSocketTransport.h"
#include "instruments/transports/UsbtmcTransport.h"
#include "instruments/transports/Vxi11Transport.h"

#include <limits>

namespace ixo {

namespace {

const QString kInstrumentTransportSource = QStringLiteral("IxoInstrSetups.InstrumentTransport");

} // namespace

InstrumentTransport::InstrumentTransport(QString resourceName, QString source)
    : m_resourceName(std::move(resourceName))
    , m_source(std::move(source)) {}

InstrumentTransport::~InstrumentTransport() = default;

void InstrumentTransport::fail(std::int32_t number, const QString &what) {
    abandon();
    throw AutomationError(number, m_source, m_resourceName + QLatin1Char(' ') + what);
}

void InstrumentTransport::cancel() {
    m_cancelled = true;
    m_canceller.cancel();
}

void InstrumentTransport::checkCancelled() {
    if (m_cancelled.exchange(false))
        fail(VisaStatus::ConnectionLost, QStringLiteral("was cancelled"));
}

int InstrumentTransport::waitTime(QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    if (remaining < 0)
        return -1;
    return static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max()));
}

int InstrumentTransport::sliceOf(QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    return static_cast<int>(remaining < 0 ? kCancelCheckMs : std::min(remaining, kCancelCheckMs));
}

std::unique_ptr<InstrumentTransport> InstrumentTransport::create(const ResourceString &resource) {
    using Interface = ResourceString::Interface;
    const QString name = resource.toString();
    switch (resource.interface) {
    case Interface::TcpipSocket:
        return std::make_unique<TcpSocketTransport>(resource.host, resource.port, name);
    case Interface::Usb:
        return std::make_unique<UsbtmcTransport>(resource.usbVendor, resource.usbProduct,
                                                 resource.usbSerial, resource.usbInterface, name);
    case Interface::Serial:
        return std::make_unique<SerialTransport>(resource.serialDevice, resource.serial, name);
    case Interface::TcpipHislip:
        return std::make_unique<HislipTransport>(resource.host, resource.port, resource.deviceName,
                                                 name);
    case Interface::TcpipInstr:
        return std::make_unique<Vxi11Transport>(resource.host, resource.deviceName, name);
    case Interface::Gpib:
    case Interface::Other:
        break;
    }
    throw AutomationError(
        VisaStatus::NotSupported, kInstrumentTransportSource,
        QStringLiteral("%1 resources such as %2 are not supported; the "
                       "supported forms are %3")
            .arg(resource.interfaceName(), name, ResourceString::supportedForms()));
}

} // namespace ixo
