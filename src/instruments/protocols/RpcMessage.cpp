#include "instruments/protocols/RpcMessage.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"
#include "instruments/protocols/XdrWriter.h"

namespace ixo::RpcMessage {

namespace {

constexpr quint32 kCall = 0;
constexpr quint32 kReply = 1;
constexpr quint32 kRpcVersion = 2;
constexpr quint32 kAccepted = 0;
constexpr quint32 kDenied = 1;
constexpr quint32 kAuthNone = 0;
// Authentication bodies are at most 400 bytes.
constexpr qsizetype kMaxAuth = 400;

[[noreturn]] void refuse(const QString &why) {
    throw AutomationError(VisaStatus::Io, QStringLiteral("IxoInstrSetups.Rpc"), why);
}

QString acceptText(quint32 status) {
    switch (status) {
    case ProgramUnavailable:
        return QStringLiteral("does not offer the program");
    case ProgramMismatch:
        return QStringLiteral("does not offer this version of the program");
    case ProcedureUnavailable:
        return QStringLiteral("does not offer the procedure");
    case GarbageArguments:
        return QStringLiteral("could not decode the arguments");
    case SystemError:
        return QStringLiteral("had a system error");
    default:
        return QStringLiteral("answered with unknown accept status %1").arg(status);
    }
}

} // namespace

QByteArray call(quint32 xid, quint32 program, quint32 version, quint32 procedure,
                QByteArrayView arguments) {
    XdrWriter writer(40 + arguments.size());
    writer.writeUInt32(xid).writeUInt32(kCall).writeUInt32(kRpcVersion);
    writer.writeUInt32(program).writeUInt32(version).writeUInt32(procedure);
    // Credentials and verifier: null authentication.
    writer.writeUInt32(kAuthNone).writeUInt32(0).writeUInt32(kAuthNone).writeUInt32(0);
    QByteArray bytes = writer.take();
    bytes.append(arguments);
    return bytes;
}

XdrReader results(QByteArrayView reply, quint32 xid, const QString &peer) {
    XdrReader reader(reply, QStringLiteral("RPC reply from %1").arg(peer));
    const quint32 replyXid = reader.readUInt32();
    if (replyXid != xid)
        refuse(QStringLiteral("%1 answered RPC call %2 with a reply to call %3")
                   .arg(peer)
                   .arg(xid)
                   .arg(replyXid));
    if (reader.readUInt32() != kReply)
        refuse(QStringLiteral("%1 sent an RPC call where a reply was due").arg(peer));
    const quint32 replyStatus = reader.readUInt32();
    if (replyStatus == kDenied) {
        const quint32 reject = reader.readUInt32();
        refuse(reject == 0 ? QStringLiteral("%1 refused the call: RPC version mismatch").arg(peer)
                           : QStringLiteral("%1 refused the call: authentication error").arg(peer));
    }
    if (replyStatus != kAccepted)
        refuse(QStringLiteral("%1 answered with unknown RPC reply status %2")
                   .arg(peer)
                   .arg(replyStatus));
    reader.readUInt32();
    reader.readOpaque(kMaxAuth);
    const quint32 accept = reader.readUInt32();
    if (accept != Success)
        refuse(QStringLiteral("%1 %2").arg(peer, acceptText(accept)));
    return reader;
}

Call parseCall(QByteArrayView record) {
    XdrReader reader(record, QStringLiteral("RPC call"));
    Call call;
    call.xid = reader.readUInt32();
    if (reader.readUInt32() != kCall)
        refuse(QStringLiteral("An RPC message that is not a call"));
    if (reader.readUInt32() != kRpcVersion)
        refuse(QStringLiteral("An RPC call of another RPC version"));
    call.program = reader.readUInt32();
    call.version = reader.readUInt32();
    call.procedure = reader.readUInt32();
    for (int i = 0; i < 2; ++i) {
        reader.readUInt32();
        reader.readOpaque(kMaxAuth);
    }
    call.arguments = record.sliced(record.size() - reader.remaining());
    return call;
}

QByteArray acceptedReply(quint32 xid, AcceptStatus status, QByteArrayView results, quint32 low,
                         quint32 high) {
    XdrWriter writer(24 + results.size());
    writer.writeUInt32(xid).writeUInt32(kReply).writeUInt32(kAccepted);
    writer.writeUInt32(kAuthNone).writeUInt32(0).writeUInt32(status);
    if (status == ProgramMismatch)
        writer.writeUInt32(low).writeUInt32(high);
    QByteArray bytes = writer.take();
    if (status == Success)
        bytes.append(results);
    return bytes;
}

} // namespace ixo::RpcMessage
