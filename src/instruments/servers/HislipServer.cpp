#include "instruments/servers/HislipServer.h"

#include "instruments/simulator/SimulatedDevice.h"

#include <QTcpSocket>
#include <QTimer>

namespace ixo {

namespace {

// The header of an oversized answer announces this, and a few bytes of it follow.
constexpr quint64 kOversizedLength = quint64(1) << 63;
constexpr qsizetype kStalledHeaderBytes = 7;
// Control code of InitializeResponse and of the clear acknowledgements: synchronized mode.
constexpr quint8 kSynchronized = 0;

} // namespace

HislipServer::HislipServer(std::shared_ptr<SimulatedDevice> device, QObject *parent)
    : QObject(parent)
    , m_device(std::move(device)) {
    connect(&m_server, &QTcpServer::newConnection, this, &HislipServer::accept);
}

HislipServer::~HislipServer() {
    m_server.close();
    // The sockets are the listening server's children and go with it; they must not call back.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool HislipServer::listen(const QHostAddress &address, quint16 port) {
    return m_server.listen(address, port);
}

void HislipServer::failNextAnswerFatally(quint8 code, const QString &text) {
    const std::lock_guard lock(m_faultMutex);
    m_fault = Fault::Fatal;
    m_faultCode = code;
    m_faultText = text;
}

void HislipServer::failNextAnswer(quint8 code, const QString &text) {
    const std::lock_guard lock(m_faultMutex);
    m_fault = Fault::Error;
    m_faultCode = code;
    m_faultText = text;
}

void HislipServer::oversizeNextAnswer() {
    const std::lock_guard lock(m_faultMutex);
    m_fault = Fault::Oversize;
}

void HislipServer::stallNextAnswerMidHeader() {
    const std::lock_guard lock(m_faultMutex);
    m_fault = Fault::StallMidHeader;
}

HislipServer::Fault HislipServer::takeFault(quint8 &code, QString &text) {
    {
        const std::lock_guard lock(m_faultMutex);
        if (m_fault != Fault::None) {
            code = m_faultCode;
            text = m_faultText;
            return std::exchange(m_fault, Fault::None);
        }
    }
    // Faults asked for over the wire (:SIMulate:FAULt) wait in the device for a HiSLIP answer.
    using Protocol = SimulatedDevice::ProtocolFault;
    switch (m_device->takeProtocolFault({Protocol::Fatal, Protocol::Oversize})) {
    case Protocol::Fatal:
        code = HislipMessage::kFatalUnidentified;
        text = QStringLiteral("Simulated fatal error");
        return Fault::Fatal;
    case Protocol::Oversize:
        return Fault::Oversize;
    default:
        return Fault::None;
    }
}

HislipServer::Session *HislipServer::session(quint16 id) {
    const auto it = m_sessions.find(id);
    return it == m_sessions.end() ? nullptr : &it->second;
}

void HislipServer::accept() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_connections.emplace(socket, Connection{HislipMessageReader(m_maxMessageSize), 0});
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, socket] { dropConnection(socket); });
    }
}

void HislipServer::dropConnection(QTcpSocket *socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    const quint16 id = it->second.session;
    m_connections.erase(it);
    socket->deleteLater();
    // One channel gone ends the session: the other one closes too.
    if (id != 0)
        endSession(id);
}

void HislipServer::endSession(quint16 id) {
    const auto it = m_sessions.find(id);
    if (it == m_sessions.end())
        return;
    const Session ended = it->second;
    m_sessions.erase(it);
    for (QTcpSocket *socket : {ended.sync, ended.async})
        if (socket && m_connections.count(socket))
            socket->disconnectFromHost();
}

void HislipServer::fatal(QTcpSocket *socket, quint8 code, const QString &text) {
    socket->write(HislipMessage::encode(HislipMessage::FatalError, code, 0, text.toUtf8()));
    const auto it = m_connections.find(socket);
    const quint16 id = it == m_connections.end() ? 0 : it->second.session;
    if (it != m_connections.end())
        it->second.reader.clear();
    if (id != 0)
        endSession(id);
    else
        socket->disconnectFromHost();
}

void HislipServer::receive(QTcpSocket *socket) {
    auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    it->second.reader.append(socket->readAll());
    HislipMessage message;
    for (;;) {
        it = m_connections.find(socket);
        if (it == m_connections.end())
            return;
        HislipMessageReader &reader = it->second.reader;
        switch (reader.next(message)) {
        case HislipMessageReader::Status::Incomplete:
            return;
        case HislipMessageReader::Status::BadPrologue:
            fatal(socket, HislipMessage::kFatalBadHeader,
                  QStringLiteral("The message does not begin with \"HS\""));
            return;
        case HislipMessageReader::Status::TooLarge:
            fatal(socket, HislipMessage::kFatalBadHeader,
                  QStringLiteral("A message of %1 bytes is larger than the maximum of %2 bytes")
                      .arg(reader.announcedLength())
                      .arg(reader.maxPayload()));
            return;
        case HislipMessageReader::Status::Complete:
            handle(socket, message);
            break;
        }
    }
}

void HislipServer::handle(QTcpSocket *socket, HislipMessage &message) {
    const quint16 id = m_connections.at(socket).session;
    Session *current = session(id);
    const bool isSync = current && current->sync == socket;
    const bool isAsync = current && current->async == socket;
    if (!current) {
        if (message.type == HislipMessage::Initialize)
            initialize(socket, message);
        else if (message.type == HislipMessage::AsyncInitialize)
            initializeAsync(socket, message);
        else
            fatal(socket, HislipMessage::kFatalInitialization,
                  QStringLiteral("%1 before initialization")
                      .arg(HislipMessage::typeName(message.type)));
        return;
    }
    switch (message.type) {
    case HislipMessage::Data:
    case HislipMessage::DataEnd:
        if (!isSync)
            break;
        if (!current->async) {
            fatal(socket, HislipMessage::kFatalNoChannels,
                  QStringLiteral("Data before the asynchronous channel was initialized"));
            return;
        }
        takeData(id, message);
        return;
    case HislipMessage::DeviceClearComplete:
        if (!isSync)
            break;
        ++m_deviceClears;
        socket->write(
            HislipMessage::encode(HislipMessage::DeviceClearAcknowledge, kSynchronized, 0));
        return;
    case HislipMessage::AsyncMaximumMessageSize:
        if (!isAsync)
            break;
        current->clientMaxMessage =
            std::max<quint64>(HislipMessage::sizeFromPayload(message.payload), 1);
        socket->write(HislipMessage::encode(HislipMessage::AsyncMaximumMessageSizeResponse, 0, 0,
                                            HislipMessage::sizePayload(m_maxMessageSize)));
        return;
    case HislipMessage::AsyncDeviceClear:
        if (!isAsync)
            break;
        // What the device was doing for this session is forgotten, a late answer included.
        current->input.clear();
        current->waiting = false;
        current->stalled = false;
        ++current->generation;
        socket->write(
            HislipMessage::encode(HislipMessage::AsyncDeviceClearAcknowledge, kSynchronized, 0));
        return;
    default:
        break;
    }
    socket->write(HislipMessage::encode(HislipMessage::Error, HislipMessage::kErrorUnknownType, 0,
                                        QStringLiteral("%1 is not accepted here")
                                            .arg(HislipMessage::typeName(message.type))
                                            .toUtf8()));
}

void HislipServer::initialize(QTcpSocket *socket, const HislipMessage &message) {
    const QString subAddress = QString::fromLatin1(message.payload);
    if (subAddress.compare(QLatin1String("hislip0"), Qt::CaseInsensitive) != 0) {
        fatal(socket, HislipMessage::kFatalInitialization,
              QStringLiteral("No device at sub-address \"%1\"; this one is hislip0")
                  .arg(subAddress.left(40)));
        return;
    }
    do
        ++m_lastSession;
    while (m_lastSession == 0 || m_sessions.count(m_lastSession));
    Session created;
    created.sync = socket;
    created.messageId = HislipMessage::kFirstMessageId;
    m_sessions.emplace(m_lastSession, created);
    m_connections.at(socket).session = m_lastSession;
    socket->write(
        HislipMessage::encode(HislipMessage::InitializeResponse, kSynchronized,
                              (quint32(HislipMessage::kProtocolVersion) << 16) | m_lastSession));
}

void HislipServer::initializeAsync(QTcpSocket *socket, const HislipMessage &message) {
    const auto id = static_cast<quint16>(message.parameter & 0xFFFF);
    Session *target = session(id);
    if (!target || target->async) {
        fatal(socket, HislipMessage::kFatalInitialization,
              QStringLiteral("No session %1 waits for its asynchronous channel").arg(id));
        return;
    }
    target->async = socket;
    m_connections.at(socket).session = id;
    socket->write(HislipMessage::encode(HislipMessage::AsyncInitializeResponse, 0, kVendorId));
}

void HislipServer::takeData(quint16 id, HislipMessage &message) {
    Session &current = *session(id);
    current.input.append(message.payload);
    if (message.type != HislipMessage::DataEnd)
        return;
    current.messageId = message.parameter;
    // DataEnd ends the message even without a newline.
    if (!current.input.endsWith('\n'))
        current.input.append('\n');
    serve(id);
}

void HislipServer::serve(quint16 id) {
    for (;;) {
        Session *current = session(id);
        if (!current || current->waiting || current->stalled)
            return;
        const qsizetype length = SimulatedDevice::messageLength(current->input);
        if (length == 0)
            return;
        if (length < 0) {
            m_device->queueError(QStringLiteral("-363,\"Input buffer overrun\""));
            current->input.clear();
            return;
        }
        const SimulatedDevice::Reply reply =
            m_device->process(QByteArrayView(current->input).first(length));
        current->input.remove(0, length);
        if (reply.bytes.isEmpty())
            continue;
        if (reply.delayMs <= 0) {
            answer(id, reply.bytes, reply.dropHalfway);
            continue;
        }
        // Later messages wait behind the late answer, as on a busy instrument; a device clear
        // cancels it.
        current->waiting = true;
        const quint64 generation = current->generation;
        QTimer::singleShot(reply.delayMs, this, [this, id, generation, reply] {
            Session *late = session(id);
            if (!late || late->generation != generation)
                return;
            late->waiting = false;
            answer(id, reply.bytes, reply.dropHalfway);
            serve(id);
        });
        return;
    }
}

void HislipServer::answer(quint16 id, const QByteArray &bytes, bool dropHalfway) {
    Session &current = *session(id);
    QTcpSocket &socket = *current.sync;
    quint8 code = 0;
    QString text;
    switch (takeFault(code, text)) {
    case Fault::Fatal:
        fatal(&socket, code, text);
        return;
    case Fault::Error:
        socket.write(HislipMessage::encode(HislipMessage::Error, code, 0, text.toUtf8()));
        return;
    case Fault::Oversize:
        socket.write(
            HislipMessage::header(HislipMessage::DataEnd, 0, current.messageId, kOversizedLength));
        socket.write(bytes.left(16));
        return;
    case Fault::StallMidHeader:
        socket.write(HislipMessage::header(HislipMessage::DataEnd, 0, current.messageId,
                                           quint64(bytes.size()))
                         .left(kStalledHeaderBytes));
        current.stalled = true;
        return;
    case Fault::None:
        break;
    }
    const auto chunkSize =
        static_cast<qsizetype>(std::min<quint64>(current.clientMaxMessage, quint64(bytes.size())));
    QByteArray encoded;
    encoded.reserve(bytes.size() + (bytes.size() / chunkSize + 1) * HislipMessage::kHeaderSize);
    for (qsizetype offset = 0; offset < bytes.size(); offset += chunkSize) {
        const qsizetype chunk = std::min(chunkSize, bytes.size() - offset);
        const bool last = offset + chunk == bytes.size();
        encoded.append(HislipMessage::header(last ? HislipMessage::DataEnd : HislipMessage::Data, 0,
                                             current.messageId, quint64(chunk)));
        encoded.append(bytes.constData() + offset, chunk);
    }
    if (!dropHalfway) {
        socket.write(encoded);
        return;
    }
    socket.write(encoded.left(encoded.size() / 2));
    socket.flush();
    // Nothing more from this session; the client sees it close mid-answer.
    endSession(id);
}

} // namespace ixo
