#include "instruments/servers/Portmapper.h"

#include "automation/AutomationError.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/RpcRecordReader.h"
#include "instruments/protocols/Vxi11Protocol.h"
#include "instruments/protocols/XdrWriter.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QTcpSocket>
#include <memory>

namespace ixo {

namespace {

constexpr qsizetype kMaxCall = 4096;
constexpr int kBindAttempts = 20;

} // namespace

Portmapper::Portmapper(QObject *parent)
    : QObject(parent) {
    connect(&m_tcp, &QTcpServer::newConnection, this, &Portmapper::accept);
    connect(&m_udp, &QUdpSocket::readyRead, this, [this] { receiveDatagrams(m_udp); });
    connect(&m_broadcast, &QUdpSocket::readyRead, this, [this] { receiveDatagrams(m_broadcast); });
}

Portmapper::~Portmapper() {
    m_tcp.close();
    for (QTcpSocket *socket : m_tcp.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool Portmapper::listen(const QHostAddress &address, quint16 port) {
    // A free TCP port may be taken for UDP; then another one is tried.
    for (int attempt = 0; attempt < (port == 0 ? kBindAttempts : 1); ++attempt) {
        if (!m_tcp.listen(address, port)) {
            m_error = QStringLiteral("TCP: ") + m_tcp.errorString();
            return false;
        }
        if (m_udp.bind(address, m_tcp.serverPort())) {
            listenForBroadcasts(address);
            return true;
        }
        m_error = QStringLiteral("UDP: ") + m_udp.errorString();
        m_tcp.close();
    }
    return false;
}

void Portmapper::setPort(quint32 program, quint32 version, quint32 protocol, quint16 port) {
    m_ports[{program, version, protocol}] = port;
}

quint16 Portmapper::lookUp(quint32 program, quint32 version, quint32 protocol) const {
    const auto it = m_ports.find({program, version, protocol});
    return it == m_ports.end() ? 0 : it->second;
}

void Portmapper::accept() {
    while (QTcpSocket *socket = m_tcp.nextPendingConnection()) {
        auto reader = std::make_shared<RpcRecordReader>(kMaxCall);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, reader] {
            try {
                const QByteArray bytes = socket->readAll();
                QByteArrayView rest(bytes);
                while (!rest.isEmpty()) {
                    rest = rest.sliced(reader->consume(rest));
                    if (!reader->isComplete())
                        continue;
                    const QByteArray reply = answer(reader->takeRecord(), socket->localAddress());
                    if (!reply.isEmpty())
                        socket->write(RpcRecordReader::header(reply.size()) + reply);
                }
            } catch (const AutomationError &) {
                socket->abort();
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void Portmapper::listenForBroadcasts(const QHostAddress &address) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address == QHostAddress::AnyIPv4)
        return;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip() != address)
                continue;
            QHostAddress broadcast = entry.broadcast();
            // Loopback has no broadcast flag, yet its network's last address is one.
            if (broadcast.isNull() && entry.prefixLength() > 0 && entry.prefixLength() < 31)
                broadcast =
                    QHostAddress(address.toIPv4Address() | ~entry.netmask().toIPv4Address());
            if (!broadcast.isNull())
                m_broadcast.bind(broadcast, m_udp.localPort(),
                                 QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
            return;
        }
    }
}

void Portmapper::receiveDatagrams(QUdpSocket &socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket.receiveDatagram(kMaxCall);
        const QByteArray reply =
            answer(datagram.data(),
                   &socket == &m_udp ? datagram.destinationAddress() : m_udp.localAddress());
        // From the served address, whichever socket heard the call.
        if (!reply.isEmpty())
            m_udp.writeDatagram(reply, datagram.senderAddress(), quint16(datagram.senderPort()));
    }
}

QByteArray Portmapper::answer(QByteArrayView record, const QHostAddress &local) {
    RpcMessage::Call call;
    try {
        call = RpcMessage::parseCall(record);
    } catch (const AutomationError &) {
        return {};
    }
    if (call.program != Vxi11Protocol::kPortmapperProgram)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::ProgramUnavailable);
    if (call.version < 2 || call.version > 4)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::ProgramMismatch, {}, 2, 4);
    if (call.procedure == 0)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::Success);
    if (call.procedure != Vxi11Protocol::kPortmapperGetPort)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::ProcedureUnavailable);
    XdrWriter results;
    try {
        XdrReader arguments(call.arguments);
        const quint32 program = arguments.readUInt32();
        const quint32 version = arguments.readUInt32();
        if (call.version == 2) {
            const quint32 protocol = arguments.readUInt32();
            results.writeUInt32(lookUp(program, version, protocol));
        } else {
            // rpcbind: the network id names the protocol; the answer is a universal address.
            const QString netId = arguments.readString(64);
            const quint32 protocol = netId.startsWith(QLatin1String("udp"))
                                         ? Vxi11Protocol::kProtocolUdp
                                         : Vxi11Protocol::kProtocolTcp;
            const quint16 port = lookUp(program, version, protocol);
            QString address;
            if (port != 0) {
                const quint32 ip = local.toIPv4Address();
                address = QStringLiteral("%1.%2.%3.%4.%5.%6")
                              .arg(ip >> 24)
                              .arg((ip >> 16) & 0xFF)
                              .arg((ip >> 8) & 0xFF)
                              .arg(ip & 0xFF)
                              .arg(port >> 8)
                              .arg(port & 0xFF);
            }
            results.writeString(address);
        }
    } catch (const AutomationError &) {
        return RpcMessage::acceptedReply(call.xid, RpcMessage::GarbageArguments);
    }
    return RpcMessage::acceptedReply(call.xid, RpcMessage::Success, results.bytes());
}

} // namespace ixo
