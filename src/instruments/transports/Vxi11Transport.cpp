#include "instruments/transports/Vxi11Transport.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/RpcRecordReader.h"
#include "instruments/protocols/Vxi11Protocol.h"
#include "instruments/protocols/XdrWriter.h"

#include <QRandomGenerator>
#include <limits>

namespace ixo {

namespace {

const QString kVxi11TransportSource = QStringLiteral("IxoInstrSetups.Vxi11Transport");
// Replies other than device_read's carry a few words.
constexpr qsizetype kMaxSmallReply = 4096;
constexpr qsizetype kReplyOverhead = 1024;
// A read asks for at least this much, so that a terminator after a block comes with it.
constexpr qsizetype kMinReadRequest = 64 * 1024;
constexpr qsizetype kMaxReadRequest = qsizetype(256) * 1024 * 1024;
// Write chunks, whatever the device claims to take.
constexpr quint32 kMaxWriteChunk = 16 * 1024 * 1024;
constexpr quint32 kFallbackReceiveSize = 1024;
// Clean-up exchanges after a failure get a short deadline of their own.
constexpr int kCleanupMs = 1000;

std::int32_t statusOf(qint32 deviceError) {
    switch (deviceError) {
    case Vxi11Protocol::DeviceLocked:
        return VisaStatus::ResourceLocked;
    case Vxi11Protocol::IoTimeout:
        return VisaStatus::Timeout;
    case Vxi11Protocol::Abort:
        return VisaStatus::Abort;
    case Vxi11Protocol::DeviceNotAccessible:
    case Vxi11Protocol::InvalidAddress:
        return VisaStatus::ResourceNotFound;
    case Vxi11Protocol::InvalidLink:
    case Vxi11Protocol::ChannelNotEstablished:
        return VisaStatus::ConnectionLost;
    default:
        return VisaStatus::Io;
    }
}

} // namespace

Vxi11Transport::Vxi11Transport(QString host, QString deviceName, QString resourceName,
                               quint16 portmapperPort)
    : InstrumentTransport(std::move(resourceName), kVxi11TransportSource)
    , m_host(std::move(host))
    , m_deviceName(deviceName.isEmpty() ? QStringLiteral("inst0") : std::move(deviceName))
    , m_portmapperPort(portmapperPort)
    , m_xid(QRandomGenerator::global()->generate()) {}

Vxi11Transport::~Vxi11Transport() {
    close();
}

// The device gives up a little before the deadline, so that its timeout reply still arrives in
// time and the channel stays in step.
quint32 Vxi11Transport::ioTimeout(QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    if (remaining < 0)
        return std::numeric_limits<qint32>::max();
    return static_cast<quint32>(
        std::max<qint64>(0, remaining - std::min<qint64>(remaining / 4, 250)));
}

void Vxi11Transport::abandon() {
    m_linked = false;
    m_input.clear();
    m_inputOffset = 0;
    m_core.close();
}

void Vxi11Transport::refuseReply(const AutomationError &error) {
    abandon();
    if (error.description().contains(resourceName()))
        throw error;
    throw AutomationError(error.number(), kVxi11TransportSource,
                          resourceName() + QStringLiteral(": ") + error.description());
}

void Vxi11Transport::checkDevice(qint32 error, const QString &operation) {
    if (error == Vxi11Protocol::NoError)
        return;
    const std::int32_t number = statusOf(error);
    const QString what = QStringLiteral("refused %1: %2 (VXI-11 error %3)")
                             .arg(operation, Vxi11Protocol::errorText(error))
                             .arg(error);
    if (number == VisaStatus::ConnectionLost)
        fail(number, what);
    // The channel is still in step; the link stays usable for the next call.
    throw AutomationError(number, kVxi11TransportSource, resourceName() + QLatin1Char(' ') + what);
}

quint16 Vxi11Transport::lookUpCorePort(QDeadlineTimer deadline) {
    SocketChannel portmapper(*this);
    portmapper.connect(m_host, m_portmapperPort, deadline, QStringLiteral("the portmapper"));
    XdrWriter arguments;
    arguments.writeUInt32(Vxi11Protocol::kCoreProgram).writeUInt32(Vxi11Protocol::kCoreVersion);
    arguments.writeUInt32(Vxi11Protocol::kProtocolTcp).writeUInt32(0);
    const Reply reply =
        call(portmapper, Vxi11Protocol::kPortmapperProgram, Vxi11Protocol::kPortmapperVersion,
             Vxi11Protocol::kPortmapperGetPort, arguments.bytes(), kMaxSmallReply, deadline);
    XdrReader results(reply.results(), QStringLiteral("portmapper reply"));
    const quint32 port = results.readUInt32();
    portmapper.close();
    if (port == 0 || port > 65535)
        fail(VisaStatus::ResourceNotFound,
             QStringLiteral("offers no VXI-11 service: its portmapper on port %1 knows no core "
                            "channel")
                 .arg(m_portmapperPort));
    return static_cast<quint16>(port);
}

Vxi11Transport::Reply Vxi11Transport::call(SocketChannel &channel, quint32 program, quint32 version,
                                           quint32 procedure, QByteArrayView arguments,
                                           qsizetype maxReply, QDeadlineTimer deadline) {
    const quint32 xid = ++m_xid;
    const QByteArray header = RpcMessage::call(xid, program, version, procedure, {});
    channel.write(RpcRecordReader::header(static_cast<quint32>(header.size() + arguments.size())),
                  deadline);
    channel.write(header, deadline);
    channel.write(arguments, deadline);

    try {
        RpcRecordReader reader(maxReply);
        while (!reader.isComplete()) {
            if (!channel.waitForInput(deadline))
                fail(VisaStatus::Timeout, QStringLiteral("did not answer an RPC call in time"));
            reader.consume(channel.read(reader.wanted()));
        }
        Reply reply{reader.takeRecord(), 0};
        const XdrReader results = RpcMessage::results(reply.record, xid, resourceName());
        reply.resultsOffset = reply.record.size() - results.remaining();
        return reply;
    } catch (const AutomationError &error) {
        // Whatever follows on this connection can no longer be matched to a call.
        refuseReply(error);
    }
}

Vxi11Transport::Reply Vxi11Transport::coreCall(quint32 procedure, QByteArrayView arguments,
                                               qsizetype maxReply, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    return call(m_core, Vxi11Protocol::kCoreProgram, Vxi11Protocol::kCoreVersion, procedure,
                arguments, maxReply, deadline);
}

void Vxi11Transport::open(QDeadlineTimer deadline) {
    close();
    const quint16 corePort = lookUpCorePort(deadline);
    m_core.connect(m_host, corePort, deadline, QStringLiteral("the VXI-11 core channel"));
    XdrWriter arguments;
    arguments.writeInt32(static_cast<qint32>(QRandomGenerator::global()->bounded(1 << 30)));
    arguments.writeBool(false).writeUInt32(0).writeString(m_deviceName);
    const Reply reply =
        call(m_core, Vxi11Protocol::kCoreProgram, Vxi11Protocol::kCoreVersion,
             Vxi11Protocol::CreateLink, arguments.bytes(), kMaxSmallReply, deadline);
    const Vxi11Protocol::LinkResponse link = [&] {
        try {
            return Vxi11Protocol::parseLinkResponse(reply.results());
        } catch (const AutomationError &error) {
            refuseReply(error);
        }
    }();
    if (link.error != Vxi11Protocol::NoError) {
        const qint32 error = link.error;
        abandon();
        throw AutomationError(
            statusOf(error), kVxi11TransportSource,
            QStringLiteral("%1 refused a link to device %2: %3 (VXI-11 error %4)")
                .arg(resourceName(), m_deviceName, Vxi11Protocol::errorText(error))
                .arg(error));
    }
    m_link = link.link;
    m_linked = true;
    m_maxReceiveSize = link.maxReceiveSize == 0 ? kFallbackReceiveSize
                                                : std::min(link.maxReceiveSize, kMaxWriteChunk);
}

void Vxi11Transport::close() {
    if (isOpen()) {
        // A courtesy to the device; a peer that does not answer it is simply left.
        XdrWriter arguments;
        arguments.writeInt32(m_link);
        try {
            coreCall(Vxi11Protocol::DestroyLink, arguments.bytes(), kMaxSmallReply,
                     QDeadlineTimer(kCleanupMs));
        } catch (const AutomationError &) {
        }
    }
    abandon();
}

bool Vxi11Transport::isOpen() const {
    return m_linked && m_core.isConnected();
}

void Vxi11Transport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    qsizetype position = 0;
    do {
        const qsizetype chunk = std::min<qsizetype>(m_maxReceiveSize, bytes.size() - position);
        const bool last = position + chunk == bytes.size();
        XdrWriter arguments(chunk + 32);
        arguments.writeInt32(m_link).writeUInt32(ioTimeout(deadline)).writeUInt32(0);
        arguments.writeUInt32(last ? Vxi11Protocol::kFlagEnd : 0);
        arguments.writeOpaque(QByteArrayView(bytes).sliced(position, chunk));
        const Reply reply =
            coreCall(Vxi11Protocol::DeviceWrite, arguments.bytes(), kMaxSmallReply, deadline);
        XdrReader results(reply.results(), QStringLiteral("device_write reply"));
        qint32 error = 0;
        quint32 written = 0;
        try {
            error = results.readInt32();
            written = results.readUInt32();
        } catch (const AutomationError &error) {
            refuseReply(error);
        }
        if (error == Vxi11Protocol::IoTimeout)
            clearDevice(QDeadlineTimer(kCleanupMs));
        checkDevice(error, QStringLiteral("device_write"));
        if (written > quint32(chunk) || (written == 0 && chunk > 0))
            fail(VisaStatus::Io,
                 QStringLiteral("took %1 of %2 bytes written").arg(written).arg(chunk));
        position += written;
    } while (position < bytes.size());
}

void Vxi11Transport::fetch(qsizetype maxBytes, QDeadlineTimer deadline) {
    while (m_input.size() - m_inputOffset < maxBytes && !deadline.hasExpired()) {
        const qsizetype request = std::clamp<qsizetype>(maxBytes - (m_input.size() - m_inputOffset),
                                                        kMinReadRequest, kMaxReadRequest);
        XdrWriter arguments;
        arguments.writeInt32(m_link).writeUInt32(static_cast<quint32>(request));
        arguments.writeUInt32(ioTimeout(deadline)).writeUInt32(0).writeUInt32(0).writeUInt32(0);
        const Reply reply = coreCall(Vxi11Protocol::DeviceRead, arguments.bytes(),
                                     request + kReplyOverhead, deadline);
        Vxi11Protocol::ReadResponse response;
        try {
            response = Vxi11Protocol::parseReadResponse(reply.results(), request);
        } catch (const AutomationError &error) {
            refuseReply(error);
        }
        if (response.error == Vxi11Protocol::IoTimeout) {
            // The answer did not come: the device must not send it later as the next one's.
            clearDevice(QDeadlineTimer(kCleanupMs));
            return;
        }
        checkDevice(response.error, QStringLiteral("device_read"));
        if (m_inputOffset == m_input.size()) {
            m_input.clear();
            m_inputOffset = 0;
        }
        m_input.append(response.data);
        if (response.reason & (Vxi11Protocol::kReasonEnd | Vxi11Protocol::kReasonTermChar))
            return;
    }
}

QByteArray Vxi11Transport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    // An answer comes only when asked for; with no time left, only what is here is given.
    if (m_inputOffset == m_input.size() && !deadline.hasExpired())
        fetch(maxBytes, deadline);
    const qsizetype available = m_input.size() - m_inputOffset;
    const qsizetype count = std::min(available, maxBytes);
    if (count == 0)
        return {};
    if (m_inputOffset == 0 && count == m_input.size())
        return std::exchange(m_input, QByteArray());
    QByteArray bytes = m_input.sliced(m_inputOffset, count);
    m_inputOffset += count;
    if (m_inputOffset == m_input.size()) {
        m_input.clear();
        m_inputOffset = 0;
    }
    return bytes;
}

void Vxi11Transport::clearDevice(QDeadlineTimer deadline) {
    XdrWriter arguments;
    arguments.writeInt32(m_link).writeUInt32(0).writeUInt32(0).writeUInt32(ioTimeout(deadline));
    const Reply reply =
        coreCall(Vxi11Protocol::DeviceClear, arguments.bytes(), kMaxSmallReply, deadline);
    qint32 error = 0;
    try {
        error = XdrReader(reply.results(), QStringLiteral("device_clear reply")).readInt32();
    } catch (const AutomationError &failure) {
        refuseReply(failure);
    }
    m_input.clear();
    m_inputOffset = 0;
    if (error != Vxi11Protocol::NoError)
        fail(statusOf(error), QStringLiteral("could not be cleared: %1 (VXI-11 error %2)")
                                  .arg(Vxi11Protocol::errorText(error))
                                  .arg(error));
}

} // namespace ixo
