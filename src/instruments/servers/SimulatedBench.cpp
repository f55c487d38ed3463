#include "instruments/servers/SimulatedBench.h"

#include "instruments/servers/HislipServer.h"
#include "instruments/servers/MdnsResponder.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"

namespace ixo {

namespace {

// A serial number advanced by n in its trailing digits, keeping their width.
QString advancedSerial(const QString &serial, qsizetype n) {
    if (n == 0)
        return serial;
    // At most 18 digits, which a 64-bit number holds with room to add.
    qsizetype digits = 0;
    while (digits < serial.size() && digits < 18 && serial.at(serial.size() - 1 - digits).isDigit())
        ++digits;
    const qulonglong number = serial.right(digits).toULongLong() + qulonglong(n);
    return serial.chopped(digits) +
           QStringLiteral("%1").arg(number, int(digits), 10, QLatin1Char('0'));
}

// Starts a server on the index-th instrument's port: the first's advanced by index, or 0.
template <typename Listener>
std::optional<SimulatedBench::Failure> start(Listener &server, SimulatedBench::Server which,
                                             const QHostAddress &address, quint16 first,
                                             qsizetype index) {
    const qsizetype port = first == 0 ? 0 : first + index;
    if (port > 65535)
        return SimulatedBench::Failure{
            which, first,
            QStringLiteral("instrument %1 would need port %2").arg(index + 1).arg(port)};
    if (!server.listen(address, quint16(port)))
        return SimulatedBench::Failure{which, quint16(port), server.errorString()};
    return std::nullopt;
}

QString instanceName(const SimulatedBench::Instrument &instrument) {
    return QStringLiteral("%1 simulator %2")
        .arg(instrument.device->model())
        .arg(instrument.socket->port());
}

} // namespace

SimulatedBench::SimulatedBench() = default;

SimulatedBench::~SimulatedBench() = default;

std::shared_ptr<SimulatedDevice> SimulatedBench::add(const QString &role, const QString &family,
                                                     const QString &model, const QString &version) {
    const QString identity = SimulatedDevice::familyIdentity(family);
    if (identity.isEmpty())
        return nullptr;
    const qsizetype index = qsizetype(m_instruments.size());
    auto device = SimulatedDevice::forFamily(family, model, version,
                                             advancedSerial(identity.section(u',', 2, 2), index));
    m_instruments.push_back({role, device, nullptr, nullptr, Vxi11Server::deviceName(index)});
    return device;
}

std::optional<SimulatedBench::Failure> SimulatedBench::listen(const QHostAddress &address,
                                                              const Ports &ports) {
    if (m_instruments.empty())
        return Failure{Server::Socket, ports.socket, QStringLiteral("no instrument to serve")};
    for (qsizetype index = 0; index < qsizetype(m_instruments.size()); ++index) {
        Instrument &instrument = m_instruments[index];
        instrument.socket = std::make_unique<SimulatorServer>(instrument.device);
        if (auto failure = start(*instrument.socket, Server::Socket, address, ports.socket, index))
            return failure;
    }
    m_vxi11 = std::make_unique<Vxi11Server>(m_instruments.front().device);
    for (auto it = std::next(m_instruments.begin()); it != m_instruments.end(); ++it)
        m_vxi11->addDevice(it->device);
    if (auto failure = start(*m_vxi11, Server::Vxi11, address, ports.portmapper, 0))
        return failure;
    for (qsizetype index = 0; index < qsizetype(m_instruments.size()); ++index) {
        Instrument &instrument = m_instruments[index];
        instrument.hislip = std::make_unique<HislipServer>(instrument.device);
        if (auto failure = start(*instrument.hislip, Server::Hislip, address, ports.hislip, index))
            return failure;
    }
    return std::nullopt;
}

quint16 SimulatedBench::portmapperPort() const {
    return m_vxi11 ? m_vxi11->portmapperPort() : 0;
}

quint16 SimulatedBench::vxi11CorePort() const {
    return m_vxi11 ? m_vxi11->port() : 0;
}

std::unique_ptr<MdnsResponder> SimulatedBench::mdnsResponder() const {
    QList<MdnsResponder::Service> services;
    for (const Instrument &instrument : m_instruments) {
        const SimulatedDevice &device = *instrument.device;
        const QList<QByteArray> texts{
            "txtvers=1", "Manufacturer=" + device.identity().section(u',', 0, 0).toUtf8(),
            "Model=" + device.model().toUtf8()};
        const QString instance = instanceName(instrument);
        services.append(
            {QStringLiteral("_scpi-raw._tcp"), instrument.socket->port(), texts, instance});
        if (&instrument == &m_instruments.front()) {
            // The simulator has no web page: its _lxi service names the portmapper.
            services.append({QStringLiteral("_vxi-11._tcp"), portmapperPort(), texts, instance});
            services.append({QStringLiteral("_lxi._tcp"), portmapperPort(), texts, instance});
        }
        services.append(
            {QStringLiteral("_hislip._tcp"), instrument.hislip->port(), texts, instance});
    }
    const Instrument &first = m_instruments.front();
    return std::make_unique<MdnsResponder>(
        instanceName(first), QStringLiteral("ixo-instrument-sim-%1").arg(first.socket->port()),
        services);
}

} // namespace ixo
