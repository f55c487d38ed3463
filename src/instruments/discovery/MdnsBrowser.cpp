#include "instruments/discovery/MdnsBrowser.h"

#include "automation/AutomationError.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QVariant>

namespace ixo {

namespace {

constexpr qsizetype kMaxDatagram = 9000;
constexpr int kMaxFollowUps = 2;

QString key(const QString &name) {
    return name.toLower();
}

bool endsWithType(const QString &name, const QString &type) {
    return name.size() > type.size() + 1 && name[name.size() - type.size() - 1] == u'.' &&
           DnsMessage::sameName(name.right(type.size()), type);
}

QList<QNetworkInterface> multicastInterfaces(const QString &name) {
    if (!name.isEmpty()) {
        const QNetworkInterface interface = QNetworkInterface::interfaceFromName(name);
        return interface.isValid() ? QList<QNetworkInterface>{interface}
                                   : QList<QNetworkInterface>{};
    }
    QList<QNetworkInterface> interfaces;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        // Loopback has no multicast flag but carries the group to local responders.
        if ((flags & QNetworkInterface::IsUp) &&
            (flags & (QNetworkInterface::CanMulticast | QNetworkInterface::IsLoopBack)))
            interfaces.append(interface);
    }
    return interfaces;
}

} // namespace

const QHostAddress MdnsBrowser::kGroup(QStringLiteral("224.0.0.251"));
const QStringList MdnsBrowser::kServiceTypes{
    QStringLiteral("_lxi._tcp.local"), QStringLiteral("_scpi-raw._tcp.local"),
    QStringLiteral("_hislip._tcp.local"), QStringLiteral("_vxi-11._tcp.local")};

MdnsBrowser::MdnsBrowser(QObject *parent)
    : QObject(parent) {
    m_resend.setSingleShot(true);
    connect(&m_resend, &QTimer::timeout, this, &MdnsBrowser::sendBrowse);
    connect(&m_socket, &QUdpSocket::readyRead, this, &MdnsBrowser::receive);
}

MdnsBrowser::~MdnsBrowser() = default;

DnsMessage MdnsBrowser::browseQuery() {
    DnsMessage query;
    for (const QString &type : kServiceTypes)
        query.questions.append({type, DnsMessage::Ptr, DnsMessage::kClassIn});
    return query;
}

QString MdnsBrowser::resourceFor(const QString &serviceType, const QString &address, quint16 port) {
    if (serviceType.startsWith(QLatin1String("_scpi-raw.")))
        return QStringLiteral("TCPIP::%1::%2::SOCKET").arg(address).arg(port);
    if (serviceType.startsWith(QLatin1String("_hislip."))) {
        if (port == 0 || port == 4880)
            return QStringLiteral("TCPIP::%1::hislip0::INSTR").arg(address);
        return QStringLiteral("TCPIP::%1::hislip0,%2::INSTR").arg(address).arg(port);
    }
    if (serviceType.startsWith(QLatin1String("_vxi-11.")) ||
        serviceType.startsWith(QLatin1String("_lxi.")))
        return QStringLiteral("TCPIP::%1::INSTR").arg(address);
    return {};
}

void MdnsBrowser::start(const Options &options, int timeoutMs) {
    stop();
    m_options = options;
    m_error.clear();
    m_id = 0;
    if (!m_socket.bind(QHostAddress::AnyIPv4, 0)) {
        m_error = m_socket.errorString();
        return;
    }
    // Link-local: the queries never leave the link.
    m_socket.setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(1));
    sendBrowse();
    m_resend.start(timeoutMs / 2);
}

void MdnsBrowser::stop() {
    m_resend.stop();
    for (auto it = m_instances.begin(); it != m_instances.end(); ++it) {
        if (it->hasService && !it->reported)
            report(*it, it->responder.first.toString());
    }
    m_socket.close();
    m_instances.clear();
    m_addresses.clear();
}

void MdnsBrowser::sendBrowse() {
    sendToAll(browseQuery());
}

void MdnsBrowser::sendToAll(const DnsMessage &query) {
    if (m_options.multicast) {
        for (const QNetworkInterface &interface :
             multicastInterfaces(m_options.multicastInterface)) {
            m_socket.setMulticastInterface(interface);
            send(query, {kGroup, m_options.mdnsPort});
        }
    }
    for (const Endpoint &target : std::as_const(m_options.targets))
        send(query, target);
}

void MdnsBrowser::send(const DnsMessage &query, const Endpoint &to) {
    DnsMessage numbered = query;
    // Unicast DNS answers repeat the id; multicast ones use 0, which we send there too.
    numbered.id = to.first == kGroup ? 0 : ++m_id;
    if (m_socket.writeDatagram(numbered.encode(), to.first, to.second) < 0 && m_error.isEmpty())
        m_error = QStringLiteral("%1 port %2: %3")
                      .arg(to.first.toString())
                      .arg(to.second)
                      .arg(m_socket.errorString());
}

void MdnsBrowser::receive() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(kMaxDatagram);
        DnsMessage message;
        try {
            message = DnsMessage::decode(datagram.data());
        } catch (const AutomationError &) {
            continue;
        }
        if (!message.isResponse())
            continue;
        QHostAddress sender = datagram.senderAddress();
        bool isV4 = false;
        const quint32 v4 = sender.toIPv4Address(&isV4);
        if (isV4)
            sender = QHostAddress(v4);
        const Endpoint from{sender, quint16(datagram.senderPort())};
        // Addresses first, so that a service in the same answer is reported at once.
        const QList<DnsMessage::Record> records = message.records();
        for (const DnsMessage::Record &record : records) {
            if (record.type == DnsMessage::A)
                take(record, from);
        }
        for (const DnsMessage::Record &record : records) {
            if (record.type != DnsMessage::A)
                take(record, from);
        }
    }
    followUp();
}

void MdnsBrowser::take(const DnsMessage::Record &record, const Endpoint &from) {
    switch (record.type) {
    case DnsMessage::A:
        if (!record.address.isNull())
            m_addresses.insert(key(record.name), record.address);
        break;
    case DnsMessage::Ptr:
        for (const QString &type : kServiceTypes) {
            if (!DnsMessage::sameName(record.name, type) || !endsWithType(record.target, type))
                continue;
            Instance &instance = m_instances[key(record.target)];
            if (instance.serviceType.isEmpty()) {
                instance.serviceType = type;
                instance.responder = from;
            }
        }
        break;
    case DnsMessage::Srv:
        for (const QString &type : kServiceTypes) {
            if (!endsWithType(record.name, type))
                continue;
            Instance &instance = m_instances[key(record.name)];
            instance.serviceType = type;
            if (!instance.hasService)
                instance.responder = from;
            instance.host = record.target;
            instance.port = record.port;
            instance.hasService = true;
        }
        break;
    default:
        break;
    }
}

QString MdnsBrowser::addressOf(const QString &host) const {
    const auto it = m_addresses.find(key(host));
    return it == m_addresses.end() ? QString() : it->toString();
}

void MdnsBrowser::followUp() {
    // Questions for the same responder go out together.
    QMap<QString, std::pair<Endpoint, DnsMessage>> queries;
    // _lxi names no portmapper port, so a _vxi-11 instance of the same host goes first.
    QList<QMap<QString, Instance>::iterator> ordered;
    for (auto it = m_instances.begin(); it != m_instances.end(); ++it)
        (it->serviceType.startsWith(QLatin1String("_lxi.")) ? ordered.append(it)
                                                            : ordered.prepend(it));
    for (const auto &it : std::as_const(ordered)) {
        Instance &instance = *it;
        if (instance.reported)
            continue;
        if (instance.hasService) {
            const QString address = addressOf(instance.host);
            if (!address.isEmpty()) {
                report(instance, address);
                continue;
            }
        }
        if (instance.followUps >= kMaxFollowUps)
            continue;
        ++instance.followUps;
        const QString to = QStringLiteral("%1:%2")
                               .arg(instance.responder.first.toString())
                               .arg(instance.responder.second);
        auto &query = queries[to];
        query.first = instance.responder;
        if (instance.hasService)
            query.second.questions.append({instance.host, DnsMessage::A, DnsMessage::kClassIn});
        else
            query.second.questions.append({it.key(), DnsMessage::Srv, DnsMessage::kClassIn});
    }
    for (auto it = queries.cbegin(); it != queries.cend(); ++it) {
        const auto &[endpoint, query] = it.value();
        // An answer from the mDNS port came from a responder in the group.
        if (endpoint.second == m_options.mdnsPort && m_options.multicast)
            sendToAll(query);
        else
            send(query, endpoint);
    }
}

void MdnsBrowser::report(Instance &instance, const QString &address) {
    instance.reported = true;
    const QString resource = resourceFor(instance.serviceType, address, instance.port);
    if (resource.isEmpty())
        return;
    DiscoveryCandidate candidate{resource, QStringLiteral("mdns"), address, 111};
    if (instance.serviceType.startsWith(QLatin1String("_vxi-11.")) && instance.port != 0)
        candidate.portmapperPort = instance.port;
    emit found(candidate);
}

} // namespace ixo
