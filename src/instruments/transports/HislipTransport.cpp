#include "instruments/transports/HislipTransport.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <limits>

namespace ixo {

namespace {

// "IX", our vendor id in Initialize.
constexpr quint16 kVendorId = 0x4958;
// Error texts and other messages on the asynchronous channel are short.
constexpr quint64 kMaxAsyncPayload = 64 * 1024;
// Messages are no smaller than this however little the device says it takes, so that a
// confused device cannot turn a setup into millions of messages.
constexpr quint64 kMinSendSize = 256;
// Bytes queued in the socket before a write waits for the peer to take some.
constexpr qint64 kWriteQueue = 256 * 1024;
constexpr qsizetype kMaxQuotedPayload = 200;

QString printable(QByteArrayView bytes) {
    QString text;
    for (const char c : bytes.first(std::min(bytes.size(), kMaxQuotedPayload))) {
        const auto u = static_cast<unsigned char>(c);
        text += u >= 0x20 && u < 0x7F ? QString(QLatin1Char(c)) : QStringLiteral("?");
    }
    return bytes.size() > kMaxQuotedPayload ? text + QStringLiteral("...") : text;
}

} // namespace

HislipTransport::HislipTransport(QString host, quint16 port, QString subAddress,
                                 QString resourceName)
    : InstrumentTransport(std::move(resourceName), QStringLiteral("IxoInstrSetups.HislipTransport"))
    , m_host(std::move(host))
    , m_port(port)
    , m_subAddress(subAddress.isEmpty() ? QStringLiteral("hislip0") : std::move(subAddress)) {}

void HislipTransport::failReported(const HislipMessage &message) {
    const bool fatal = message.type == HislipMessage::FatalError;
    const QString text = printable(message.payload);
    fail(fatal && message.control == HislipMessage::kFatalTooManyClients ? VisaStatus::ResourceBusy
                                                                         : VisaStatus::Io,
         QStringLiteral("reported HiSLIP %1 %2 (%3)%4")
             .arg(fatal ? QStringLiteral("fatal error") : QStringLiteral("error"))
             .arg(message.control)
             .arg(HislipMessage::errorText(fatal, message.control),
                  text.isEmpty() ? QString() : QStringLiteral(": ") + text));
}

void HislipTransport::open(QDeadlineTimer deadline) {
    close();
    m_sync.reader.setMaxPayload(m_maxReceive);
    m_async.reader.setMaxPayload(kMaxAsyncPayload);
    m_sync.socket.connect(m_host, m_port, deadline);
    send(m_sync, HislipMessage::Initialize, 0,
         (quint32(HislipMessage::kProtocolVersion) << 16) | kVendorId, m_subAddress.toLatin1(),
         deadline);
    const HislipMessage response =
        expect(m_sync, HislipMessage::InitializeResponse, deadline, QStringLiteral("Initialize"));
    m_serverVersion = static_cast<quint16>(response.parameter >> 16);
    m_sessionId = static_cast<quint16>(response.parameter & 0xFFFF);

    m_async.socket.connect(m_host, m_port, deadline);
    send(m_async, HislipMessage::AsyncInitialize, 0, m_sessionId, {}, deadline);
    expect(m_async, HislipMessage::AsyncInitializeResponse, deadline,
           QStringLiteral("AsyncInitialize"));
    send(m_async, HislipMessage::AsyncMaximumMessageSize, 0, 0,
         HislipMessage::sizePayload(m_maxReceive), deadline);
    const HislipMessage size = expect(m_async, HislipMessage::AsyncMaximumMessageSizeResponse,
                                      deadline, QStringLiteral("AsyncMaximumMessageSize"));
    if (size.payload.size() != 8)
        fail(VisaStatus::Io, QStringLiteral("answered AsyncMaximumMessageSize with %1 bytes, not 8")
                                 .arg(size.payload.size()));
    m_maxSend = std::clamp<quint64>(HislipMessage::sizeFromPayload(size.payload), kMinSendSize,
                                    quint64(std::numeric_limits<qsizetype>::max()));
    m_messageId = HislipMessage::kFirstMessageId;
    m_rmtDelivered = false;
}

void HislipTransport::close() {
    for (Channel *channel : {&m_sync, &m_async}) {
        channel->socket.close();
        channel->reader.clear();
    }
    m_pending.clear();
    m_pendingOffset = 0;
    m_answerEndsLine = true;
}

bool HislipTransport::isOpen() const {
    return m_sync.socket.isConnected() && m_async.socket.isConnected();
}

void HislipTransport::send(Channel &channel, quint8 type, quint8 control, quint32 parameter,
                           QByteArrayView payload, QDeadlineTimer deadline) {
    const QByteArray header =
        HislipMessage::header(type, control, parameter, static_cast<quint64>(payload.size()));
    channel.socket.write(header, deadline, std::numeric_limits<qint64>::max());
    channel.socket.write(payload, deadline);
}

void HislipTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    qsizetype offset = 0;
    do {
        const auto chunk =
            static_cast<qsizetype>(std::min<quint64>(m_maxSend, quint64(bytes.size() - offset)));
        const bool last = offset + chunk == bytes.size();
        const quint8 control = m_rmtDelivered ? HislipMessage::kRmtDelivered : 0;
        m_rmtDelivered = false;
        const QByteArray header =
            HislipMessage::header(last ? HislipMessage::DataEnd : HislipMessage::Data, control,
                                  m_messageId, static_cast<quint64>(chunk));
        m_sync.socket.write(header, deadline, std::numeric_limits<qint64>::max());
        m_sync.socket.write(QByteArrayView(bytes).sliced(offset, chunk), deadline,
                            last ? 0 : kWriteQueue);
        offset += chunk;
    } while (offset < bytes.size());
    m_messageId += 2;
}

bool HislipTransport::receive(Channel &channel, HislipMessage &message, QDeadlineTimer deadline) {
    for (;;) {
        switch (channel.reader.next(message)) {
        case HislipMessageReader::Status::Complete:
            if (message.type == HislipMessage::FatalError || message.type == HislipMessage::Error)
                failReported(message);
            return true;
        case HislipMessageReader::Status::BadPrologue:
            fail(VisaStatus::Io, QStringLiteral("sent bytes that are not a HiSLIP message"));
        case HislipMessageReader::Status::TooLarge:
            fail(VisaStatus::Io,
                 QStringLiteral("announced a %1 of %2 bytes, more than the %3 bytes agreed")
                     .arg(HislipMessage::typeName(channel.reader.pendingType()))
                     .arg(channel.reader.announcedLength())
                     .arg(channel.reader.maxPayload()));
        case HislipMessageReader::Status::Incomplete:
            break;
        }
        if (!channel.socket.waitForInput(deadline))
            return false;
        channel.reader.append(channel.socket.read(std::numeric_limits<qint64>::max()));
    }
}

HislipMessage HislipTransport::expect(Channel &channel, quint8 type, QDeadlineTimer deadline,
                                      const QString &request) {
    HislipMessage message;
    // Anything else (a service request, a late answer) is not what is waited for.
    while (receive(channel, message, deadline))
        if (message.type == type)
            return message;
    fail(VisaStatus::Timeout, QStringLiteral("did not answer the HiSLIP %1 in time").arg(request));
}

QByteArray HislipTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    // A call with no time left only collects what has arrived; it gives up nothing.
    const bool poll = deadline.hasExpired();
    while (m_pendingOffset >= m_pending.size()) {
        HislipMessage message;
        if (!receive(m_sync, message, deadline)) {
            if (!poll)
                deviceClear();
            return QByteArray();
        }
        if (message.type != HislipMessage::Data && message.type != HislipMessage::DataEnd)
            continue;
        if (!message.payload.isEmpty())
            m_answerEndsLine = message.payload.endsWith('\n');
        if (message.type == HislipMessage::DataEnd) {
            m_rmtDelivered = true;
            if (!m_answerEndsLine)
                message.payload.append('\n');
            m_answerEndsLine = true;
        }
        m_pending = std::move(message.payload);
        m_pendingOffset = 0;
    }
    const qsizetype available = m_pending.size() - m_pendingOffset;
    if (m_pendingOffset == 0 && available <= maxBytes)
        return std::exchange(m_pending, QByteArray());
    const qsizetype count = std::min(available, std::max<qsizetype>(maxBytes, 1));
    QByteArray bytes = m_pending.mid(m_pendingOffset, count);
    m_pendingOffset += count;
    if (m_pendingOffset >= m_pending.size()) {
        m_pending.clear();
        m_pendingOffset = 0;
    }
    return bytes;
}

void HislipTransport::deviceClear() {
    // A stream stopped inside a message cannot be brought back in step; a new connection will.
    if (m_sync.reader.buffered() > 0) {
        close();
        return;
    }
    const QDeadlineTimer until(kClearTimeoutMs);
    try {
        send(m_async, HislipMessage::AsyncDeviceClear, 0, 0, {}, until);
        const HislipMessage acknowledge =
            expect(m_async, HislipMessage::AsyncDeviceClearAcknowledge, until,
                   QStringLiteral("AsyncDeviceClear"));
        send(m_sync, HislipMessage::DeviceClearComplete, acknowledge.control, 0, {}, until);
        // Data still arriving belongs to the exchange that was cleared.
        expect(m_sync, HislipMessage::DeviceClearAcknowledge, until,
               QStringLiteral("DeviceClearComplete"));
        m_pending.clear();
        m_pendingOffset = 0;
        m_answerEndsLine = true;
        m_messageId = HislipMessage::kFirstMessageId;
        m_rmtDelivered = false;
        ++m_deviceClears;
    } catch (const AutomationError &) {
        // The caller reports the timeout; a device that cannot be cleared is reconnected.
        close();
    }
}

} // namespace ixo
