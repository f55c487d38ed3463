#include "instruments/discovery/Vxi11Search.h"

#include "automation/AutomationError.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/Vxi11Protocol.h"
#include "instruments/protocols/XdrWriter.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QVariant>

namespace ixo {

namespace {

constexpr qsizetype kMaxReply = 1024;

} // namespace

Vxi11Search::Vxi11Search(QObject *parent)
    : QObject(parent) {
    m_resend.setSingleShot(true);
    connect(&m_resend, &QTimer::timeout, this, &Vxi11Search::send);
    connect(&m_socket, &QUdpSocket::readyRead, this, &Vxi11Search::receive);
}

Vxi11Search::~Vxi11Search() = default;

QList<QHostAddress> Vxi11Search::defaultAddresses() {
    QList<QHostAddress> addresses{QHostAddress(QHostAddress::LocalHost)};
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::CanBroadcast))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol &&
                !entry.broadcast().isNull() && !addresses.contains(entry.broadcast()))
                addresses.append(entry.broadcast());
        }
    }
    return addresses;
}

QByteArray Vxi11Search::getPortCall(quint32 xid) {
    XdrWriter arguments;
    arguments.writeUInt32(Vxi11Protocol::kCoreProgram)
        .writeUInt32(Vxi11Protocol::kCoreVersion)
        .writeUInt32(Vxi11Protocol::kProtocolTcp)
        .writeUInt32(0);
    return RpcMessage::call(xid, Vxi11Protocol::kPortmapperProgram,
                            Vxi11Protocol::kPortmapperVersion, Vxi11Protocol::kPortmapperGetPort,
                            arguments.bytes());
}

void Vxi11Search::start(const QList<QHostAddress> &addresses, quint16 portmapperPort,
                        int timeoutMs) {
    stop();
    m_addresses = addresses.isEmpty() ? defaultAddresses() : addresses;
    m_port = portmapperPort;
    m_xid = QRandomGenerator::global()->generate();
    m_error.clear();
    if (!m_socket.bind(QHostAddress::AnyIPv4, 0)) {
        m_error = m_socket.errorString();
        return;
    }
    m_socket.setSocketOption(QAbstractSocket::MulticastTtlOption, QVariant(1));
    send();
    m_resend.start(timeoutMs / 2);
}

void Vxi11Search::stop() {
    m_resend.stop();
    m_socket.close();
    m_seen.clear();
}

void Vxi11Search::send() {
    const QByteArray call = getPortCall(m_xid);
    for (const QHostAddress &address : std::as_const(m_addresses)) {
        if (m_socket.writeDatagram(call, address, m_port) < 0 && m_error.isEmpty())
            m_error = QStringLiteral("%1: %2").arg(address.toString(), m_socket.errorString());
    }
}

void Vxi11Search::receive() {
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(kMaxReply);
        QHostAddress sender = datagram.senderAddress();
        bool isV4 = false;
        const quint32 v4 = sender.toIPv4Address(&isV4);
        if (isV4)
            sender = QHostAddress(v4);
        const QString host = sender.toString();
        try {
            XdrReader results = RpcMessage::results(datagram.data(), m_xid, host);
            const quint32 port = results.readUInt32();
            if (port == 0 || port > 0xFFFF || m_seen.contains(host))
                continue;
            m_seen.insert(host);
            emit found(DiscoveryCandidate{QStringLiteral("TCPIP::%1::INSTR").arg(host),
                                          QStringLiteral("vxi11"), host, m_port});
        } catch (const AutomationError &) {
            // Not an answer to our call; other traffic on a broadcast port is no concern.
        }
    }
}

} // namespace ixo
