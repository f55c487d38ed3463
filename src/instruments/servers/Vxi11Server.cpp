#include "instruments/servers/Vxi11Server.h"

#include "automation/AutomationError.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/Vxi11Protocol.h"
#include "instruments/protocols/XdrWriter.h"
#include "instruments/servers/Portmapper.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QTcpSocket>
#include <QTimer>

namespace ixo {

namespace {

using namespace Vxi11Protocol;

// Clients may ask to wait for ever; the simulator waits at most this long.
constexpr quint32 kMaxWaitMs = 10 * 60 * 1000;

QByteArray errorOnly(qint32 error) {
    return XdrWriter().writeInt32(error).take();
}

} // namespace

Vxi11Server::Vxi11Server(std::shared_ptr<SimulatedDevice> device, QObject *parent)
    : QObject(parent)
    , m_devices{std::move(device)}
    , m_portmapper(std::make_unique<Portmapper>()) {
    connect(&m_core, &QTcpServer::newConnection, this, &Vxi11Server::accept);
}

Vxi11Server::~Vxi11Server() {
    m_core.close();
    for (QTcpSocket *socket : m_core.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

void Vxi11Server::addDevice(std::shared_ptr<SimulatedDevice> device) {
    m_devices.push_back(std::move(device));
}

SimulatedDevice *Vxi11Server::deviceNamed(const QString &name) const {
    const QLatin1String prefix("inst");
    if (!name.startsWith(prefix, Qt::CaseInsensitive))
        return nullptr;
    // A lone device answers to every inst name, so that its clients need not know its number.
    if (m_devices.size() == 1)
        return m_devices.front().get();
    bool ok = false;
    const int index = name.sliced(prefix.size()).toInt(&ok);
    return ok && index >= 0 && std::size_t(index) < m_devices.size() ? m_devices[index].get()
                                                                     : nullptr;
}

bool Vxi11Server::listen(const QHostAddress &address, quint16 portmapperPort) {
    if (!m_core.listen(address, 0)) {
        m_error = QStringLiteral("core channel: ") + m_core.errorString();
        return false;
    }
    if (!m_portmapper->listen(address, portmapperPort)) {
        m_error = QStringLiteral("portmapper on port %1: %2")
                      .arg(portmapperPort)
                      .arg(m_portmapper->errorString());
        m_core.close();
        return false;
    }
    m_portmapper->setPort(kCoreProgram, kCoreVersion, kProtocolTcp, m_core.serverPort());
    return true;
}

quint16 Vxi11Server::portmapperPort() const {
    return m_portmapper->port();
}

Vxi11Server::Connection *Vxi11Server::find(QTcpSocket *socket) {
    const auto it = m_connections.find(socket);
    return it == m_connections.end() ? nullptr : &it->second;
}

void Vxi11Server::accept() {
    while (QTcpSocket *socket = m_core.nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        Connection &connection = m_connections.try_emplace(socket).first->second;
        connection.timer = new QTimer(socket);
        connection.timer->setSingleShot(true);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (Connection *found = find(socket)) {
                found->backlog.append(socket->readAll());
                serve(socket);
            }
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.erase(socket);
            socket->deleteLater();
        });
    }
}

void Vxi11Server::serve(QTcpSocket *socket) {
    Connection *connection = find(socket);
    qsizetype taken = 0;
    try {
        while (connection && !connection->busy && taken < connection->backlog.size()) {
            taken += connection->reader.consume(QByteArrayView(connection->backlog).sliced(taken));
            if (!connection->reader.isComplete())
                continue;
            const QByteArray record = connection->reader.takeRecord();
            const QByteArray reply = answer(socket, *connection, record);
            if (!reply.isEmpty())
                socket->write(RpcRecordReader::header(reply.size()) + reply);
            connection = find(socket);
        }
    } catch (const AutomationError &) {
        // A record longer than any call: the client is not speaking VXI-11.
        m_connections.erase(socket);
        socket->abort();
        return;
    }
    if (connection)
        connection->backlog.remove(0, taken);
}

QByteArray Vxi11Server::answer(QTcpSocket *socket, Connection &connection, QByteArrayView record) {
    RpcMessage::Call call;
    try {
        call = RpcMessage::parseCall(record);
    } catch (const AutomationError &) {
        return {};
    }
    if (call.program != kCoreProgram)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::ProgramUnavailable);
    if (call.version != kCoreVersion)
        return RpcMessage::acceptedReply(call.xid, RpcMessage::ProgramMismatch, {}, 1, 1);
    try {
        QByteArray results;
        switch (call.procedure) {
        case CreateLink:
            results = createLink(connection, call.arguments);
            break;
        case DeviceWrite:
            results = deviceWrite(connection, call.arguments);
            break;
        case DeviceRead:
            return deviceRead(socket, connection, call.xid, call.arguments);
        case DeviceClear:
            ++m_clears;
            connection.input.clear();
            connection.output.clear();
            connection.outputOffset = 0;
            connection.dropHalfway = false;
            results = errorOnly(NoError);
            break;
        case DeviceReadStb:
            results = XdrWriter().writeInt32(NoError).writeUInt32(0).take();
            break;
        case DestroyLink:
            connection.link = 0;
            results = errorOnly(NoError);
            break;
        case DeviceTrigger:
        case DeviceRemote:
        case DeviceLocal:
        case DeviceLock:
        case DeviceUnlock:
            results = errorOnly(NoError);
            break;
        default:
            return RpcMessage::acceptedReply(call.xid, RpcMessage::ProcedureUnavailable);
        }
        return RpcMessage::acceptedReply(call.xid, RpcMessage::Success, results);
    } catch (const AutomationError &) {
        return RpcMessage::acceptedReply(call.xid, RpcMessage::GarbageArguments);
    }
}

QByteArray Vxi11Server::createLink(Connection &connection, QByteArrayView arguments) {
    XdrReader reader(arguments, QStringLiteral("create_link call"));
    reader.readInt32();
    reader.readBool();
    reader.readUInt32();
    const QString device = reader.readString(256);
    XdrWriter results;
    SimulatedDevice *linked = deviceNamed(device);
    if (!linked) {
        results.writeInt32(DeviceNotAccessible).writeInt32(0).writeUInt32(0).writeUInt32(0);
        return results.take();
    }
    connection.link = m_nextLink++;
    connection.device = linked;
    results.writeInt32(NoError).writeInt32(connection.link).writeUInt32(0);
    results.writeUInt32(m_maxReceiveSize);
    return results.take();
}

QByteArray Vxi11Server::deviceWrite(Connection &connection, QByteArrayView arguments) {
    XdrReader reader(arguments, QStringLiteral("device_write call"));
    const qint32 link = reader.readInt32();
    reader.readUInt32();
    reader.readUInt32();
    const quint32 flags = reader.readUInt32();
    const QByteArrayView data = reader.readOpaque(kMaxCall);
    if (link != connection.link || link == 0)
        return XdrWriter().writeInt32(InvalidLink).writeUInt32(0).take();
    connection.input.append(data);
    runMessages(connection, (flags & kFlagEnd) != 0);
    return XdrWriter().writeInt32(NoError).writeUInt32(static_cast<quint32>(data.size())).take();
}

void Vxi11Server::runMessages(Connection &connection, bool end) {
    for (;;) {
        qsizetype length = SimulatedDevice::messageLength(connection.input);
        if (length < 0) {
            connection.device->queueError(QStringLiteral("-363,\"Input buffer overrun\""));
            connection.input.clear();
            return;
        }
        // END closes a message that has no newline of its own.
        if (length == 0 && end && !connection.input.isEmpty())
            length = connection.input.size();
        if (length == 0)
            return;
        SimulatedDevice::Reply reply =
            connection.device->process(QByteArrayView(connection.input).first(length));
        connection.input.remove(0, length);
        if (reply.bytes.isEmpty())
            continue;
        // An answer nobody read is replaced, as a new query does on an instrument.
        connection.output = std::move(reply.bytes);
        connection.outputOffset = 0;
        connection.dropHalfway = reply.dropHalfway;
        connection.outputReady = QDeadlineTimer(reply.delayMs);
    }
}

QByteArray Vxi11Server::deviceRead(QTcpSocket *socket, Connection &connection, quint32 xid,
                                   QByteArrayView arguments) {
    XdrReader reader(arguments, QStringLiteral("device_read call"));
    const qint32 link = reader.readInt32();
    const quint32 requestSize = reader.readUInt32();
    const quint32 ioTimeout = std::min(reader.readUInt32(), kMaxWaitMs);
    if (link != connection.link || link == 0) {
        XdrWriter results;
        results.writeInt32(InvalidLink).writeInt32(0).writeOpaque({});
        return RpcMessage::acceptedReply(xid, RpcMessage::Success, results.bytes());
    }
    const bool hasOutput = connection.outputOffset < connection.output.size();
    const qint64 untilReady = hasOutput ? connection.outputReady.remainingTime() : -1;
    if (hasOutput && untilReady == 0) {
        sendRead(socket, xid, requestSize);
        return {};
    }
    // Nothing yet: the read waits for the answer or for its timeout, and the connection with it.
    const bool answerInTime = hasOutput && untilReady <= qint64(ioTimeout);
    connection.busy = true;
    connection.timer->disconnect();
    connect(connection.timer, &QTimer::timeout, this,
            [this, socket, xid, requestSize, answerInTime] {
                Connection *found = find(socket);
                if (!found)
                    return;
                found->busy = false;
                if (answerInTime) {
                    sendRead(socket, xid, requestSize);
                } else {
                    XdrWriter results;
                    results.writeInt32(IoTimeout).writeInt32(0).writeOpaque({});
                    sendReply(socket, *found, xid, results.take());
                }
                serve(socket);
            });
    connection.timer->start(std::chrono::milliseconds(answerInTime ? untilReady : ioTimeout));
    return {};
}

void Vxi11Server::sendRead(QTcpSocket *socket, quint32 xid, quint32 requestSize) {
    Connection *connection = find(socket);
    if (!connection)
        return;
    const qsizetype left = connection->output.size() - connection->outputOffset;
    qsizetype chunk = std::min<qsizetype>({left, qsizetype(requestSize), m_maxReadChunk});
    bool drop = false;
    if (connection->dropHalfway) {
        const qsizetype half = connection->output.size() / 2 - connection->outputOffset;
        drop = chunk >= half;
        chunk = std::max<qsizetype>(0, std::min(chunk, half));
    }
    const bool end = !drop && chunk == left;
    qint32 reason = end ? kReasonEnd : 0;
    if (!end && chunk == qsizetype(requestSize))
        reason |= kReasonRequestCount;
    XdrWriter results(chunk + 16);
    results.writeInt32(NoError).writeInt32(reason);
    results.writeOpaque(QByteArrayView(connection->output).sliced(connection->outputOffset, chunk));
    connection->outputOffset += chunk;
    if (end) {
        connection->output.clear();
        connection->outputOffset = 0;
    }
    sendReply(socket, *connection, xid, results.take());
    if (drop) {
        // Half an answer, then the connection goes, as when an instrument resets mid-reply.
        socket->flush();
        m_connections.erase(socket);
        socket->disconnectFromHost();
    }
}

void Vxi11Server::sendReply(QTcpSocket *socket, const Connection &connection, quint32 xid,
                            QByteArray results) {
    using Fault = SimulatedDevice::ProtocolFault;
    const Fault fault = connection.device->takeProtocolFault({Fault::WrongXid, Fault::Oversize});
    const QByteArray reply = RpcMessage::acceptedReply(fault == Fault::WrongXid ? xid + 1 : xid,
                                                       RpcMessage::Success, results);
    if (fault == Fault::Oversize) {
        // A record marked as 2 GiB that holds only this reply.
        socket->write(RpcRecordReader::header(0x7FFFFFFFu));
        socket->write(reply);
        return;
    }
    socket->write(RpcRecordReader::header(static_cast<quint32>(reply.size())));
    socket->write(reply);
}

} // namespace ixo
