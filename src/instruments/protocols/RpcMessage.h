#pragma once

#include "automation/Export.h"
#include "instruments/protocols/XdrReader.h"

#include <QByteArray>
#include <QByteArrayView>

namespace ixo {

// ONC RPC version 2 messages (RFC 5531) with null authentication, as VXI-11 uses them.
namespace RpcMessage {

enum AcceptStatus : quint32 {
    Success = 0,
    ProgramUnavailable = 1,
    ProgramMismatch = 2,
    ProcedureUnavailable = 3,
    GarbageArguments = 4,
    SystemError = 5,
};

struct IXO_EXPORT Call {
    quint32 xid = 0;
    quint32 program = 0;
    quint32 version = 0;
    quint32 procedure = 0;
    // The arguments: the rest of the record.
    QByteArrayView arguments;
};

// A call record without its record marking.
IXO_EXPORT QByteArray call(quint32 xid, quint32 program, quint32 version, quint32 procedure,
                           QByteArrayView arguments);
// The results of an accepted, successful reply to call xid, positioned after the reply header.
// A reply to another call, a denied one or an unsuccessful accept status raises an
// AutomationError naming what went wrong (VisaStatus::Io).
IXO_EXPORT XdrReader results(QByteArrayView reply, quint32 xid, const QString &peer);

// The call in a record, or an AutomationError when it is not one.
IXO_EXPORT Call parseCall(QByteArrayView record);
// An accepted reply; the results follow only on success; a program mismatch carries the
// supported versions low..high.
IXO_EXPORT QByteArray acceptedReply(quint32 xid, AcceptStatus status, QByteArrayView results = {},
                                    quint32 low = 0, quint32 high = 0);

} // namespace RpcMessage

} // namespace ixo
