#include "instruments/servers/MdnsResponder.h"

#include "automation/AutomationError.h"

#include <QNetworkDatagram>
#include <QVariant>

namespace ixo {

namespace {

const QHostAddress kGroup(QStringLiteral("224.0.0.251"));
const QString kLocal = QStringLiteral(".local");
const QString kServiceList = QStringLiteral("_services._dns-sd._udp.local");
constexpr quint16 kMdnsPort = 5353;
constexpr qsizetype kMaxQuery = 9000;
// Lifetimes: host records 120 s, others 75 min; legacy answers at most 10 s.
constexpr quint32 kHostTtl = 120;
constexpr quint32 kServiceTtl = 4500;
constexpr quint32 kLegacyTtl = 10;

bool asks(const DnsMessage::Question &question, quint16 type) {
    return question.type == type || question.type == DnsMessage::Any;
}

QHostAddress plainIPv4(const QHostAddress &address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

} // namespace

MdnsResponder::MdnsResponder(QString instanceName, QString hostName, QList<Service> services,
                             QObject *parent)
    : QObject(parent)
    , m_instanceName(std::move(instanceName))
    , m_hostName(std::move(hostName))
    , m_services(std::move(services)) {
    connect(&m_unicast, &QUdpSocket::readyRead, this, [this] { receive(m_unicast); });
    connect(&m_multicast, &QUdpSocket::readyRead, this, [this] { receive(m_multicast); });
}

MdnsResponder::~MdnsResponder() = default;

QString MdnsResponder::instanceName(const Service &service) const {
    const QString &name = service.instance.isEmpty() ? m_instanceName : service.instance;
    return DnsMessage::escapeLabel(name) + u'.' + service.type + kLocal;
}

bool MdnsResponder::listen(const QHostAddress &address, quint16 port) {
    m_address = address;
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    if (!m_unicast.bind(address, port, mode)) {
        m_error = m_unicast.errorString();
        return false;
    }
    joinGroup(address);
    return true;
}

void MdnsResponder::joinGroup(const QHostAddress &address) {
    const auto mode = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        m_multicastProblem = QStringLiteral("multicast is answered on IPv4 only");
        return;
    }
    const bool any = address == QHostAddress::AnyIPv4 || address == QHostAddress::Any;
    if (!any) {
        for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
            for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
                if (entry.ip() == address)
                    m_interface = interface;
            }
        }
        if (!m_interface.isValid()) {
            m_multicastProblem = QStringLiteral("no interface has %1").arg(address.toString());
            return;
        }
    }
    // A socket bound to one address receives no multicast; the group gets a socket of its own
    // on the same port, which sees only the group's datagrams.
    QUdpSocket &socket = any ? m_unicast : m_multicast;
    if (!any && !m_multicast.bind(kGroup, m_unicast.localPort(), mode)) {
        m_multicastProblem = m_multicast.errorString();
        return;
    }
    m_multicastJoined =
        any ? socket.joinMulticastGroup(kGroup) : socket.joinMulticastGroup(kGroup, m_interface);
    if (!m_multicastJoined) {
        m_multicastProblem = socket.errorString();
        m_multicast.close();
        return;
    }
    if (m_interface.isValid())
        m_unicast.setMulticastInterface(m_interface);
    m_unicast.setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(255));
}

DnsMessage::Record MdnsResponder::addressRecord(const QHostAddress &address, quint32 ttl) const {
    DnsMessage::Record record;
    record.name = hostName();
    record.type = DnsMessage::A;
    record.ttl = ttl;
    record.address = address;
    return record;
}

void MdnsResponder::addService(DnsMessage &reply, const Service &service, quint32 ttl,
                               bool asAnswer, quint16 type) const {
    QList<DnsMessage::Record> &section = asAnswer ? reply.answers : reply.additionals;
    DnsMessage::Record srv;
    srv.name = instanceName(service);
    srv.type = DnsMessage::Srv;
    srv.ttl = std::min(ttl, kHostTtl);
    srv.port = service.port;
    srv.target = hostName();
    DnsMessage::Record txt;
    txt.name = srv.name;
    txt.type = DnsMessage::Txt;
    txt.ttl = ttl;
    txt.texts = service.texts;
    if (type == DnsMessage::Srv || type == DnsMessage::Any || !asAnswer)
        section.append(srv);
    if (type == DnsMessage::Txt || type == DnsMessage::Any || !asAnswer)
        section.append(txt);
}

DnsMessage MdnsResponder::answer(const DnsMessage &query, const QHostAddress &address,
                                 bool legacy) const {
    DnsMessage reply;
    reply.flags = DnsMessage::kFlagResponse | DnsMessage::kFlagAuthoritative;
    if (query.isResponse())
        return reply;
    const quint32 hostTtl = legacy ? kLegacyTtl : kHostTtl;
    const quint32 serviceTtl = legacy ? kLegacyTtl : kServiceTtl;
    bool needAddress = false;
    for (const DnsMessage::Question &question : query.questions) {
        if (DnsMessage::sameName(question.name, kServiceList) && asks(question, DnsMessage::Ptr)) {
            // Each type once, though several instruments may serve it.
            QStringList types;
            for (const Service &service : m_services) {
                if (types.contains(service.type))
                    continue;
                types.append(service.type);
                DnsMessage::Record ptr;
                ptr.name = kServiceList;
                ptr.type = DnsMessage::Ptr;
                ptr.ttl = serviceTtl;
                ptr.target = service.type + kLocal;
                reply.answers.append(ptr);
            }
        }
        for (const Service &service : m_services) {
            if (DnsMessage::sameName(question.name, service.type + kLocal) &&
                asks(question, DnsMessage::Ptr)) {
                DnsMessage::Record ptr;
                ptr.name = service.type + kLocal;
                ptr.type = DnsMessage::Ptr;
                ptr.ttl = serviceTtl;
                ptr.target = instanceName(service);
                reply.answers.append(ptr);
                addService(reply, service, serviceTtl, false, question.type);
                needAddress = true;
            } else if (DnsMessage::sameName(question.name, instanceName(service)) &&
                       (asks(question, DnsMessage::Srv) || asks(question, DnsMessage::Txt))) {
                addService(reply, service, serviceTtl, true, question.type);
                needAddress = true;
            }
        }
        if (DnsMessage::sameName(question.name, hostName()) && asks(question, DnsMessage::A))
            reply.answers.append(addressRecord(address, hostTtl));
    }
    if (reply.answers.isEmpty())
        return reply;
    if (needAddress && !std::any_of(reply.answers.cbegin(), reply.answers.cend(),
                                    [](const auto &r) { return r.type == DnsMessage::A; }))
        reply.additionals.append(addressRecord(address, hostTtl));
    if (!m_additionalRecords)
        reply.additionals.clear();
    if (legacy) {
        reply.id = query.id;
        reply.questions = query.questions;
    }
    return reply;
}

void MdnsResponder::receive(QUdpSocket &socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram(kMaxQuery);
        DnsMessage query;
        try {
            query = DnsMessage::decode(datagram.data());
        } catch (const AutomationError &) {
            continue;
        }
        const bool legacy = datagram.senderPort() != kMdnsPort;
        QHostAddress address = m_address;
        if (address == QHostAddress::AnyIPv4 || address == QHostAddress::Any) {
            address = plainIPv4(datagram.destinationAddress());
            if (address.protocol() != QAbstractSocket::IPv4Protocol || address == kGroup)
                address = QHostAddress(QHostAddress::LocalHost);
        }
        const DnsMessage reply = answer(query, address, legacy);
        if (reply.answers.isEmpty())
            continue;
        QByteArray bytes;
        try {
            bytes = reply.encode();
        } catch (const AutomationError &) {
            continue;
        }
        // A querier on the mDNS port hears the answer in the group, even when it asked for a
        // unicast one: that port may be shared, and a unicast datagram reaches only one of its
        // sockets, perhaps our own.
        if (!legacy && m_multicastJoined)
            m_unicast.writeDatagram(bytes, kGroup, kMdnsPort);
        else
            m_unicast.writeDatagram(bytes, datagram.senderAddress(),
                                    quint16(datagram.senderPort()));
    }
}

} // namespace ixo
