#pragma once

#include "automation/Export.h"

#include <QByteArrayView>
#include <QString>

namespace ixo {

// Program, procedure and flag numbers of VXI-11's core channel and of the portmapper that
// tells its port, and the device error codes in words.
namespace Vxi11Protocol {

inline constexpr quint32 kPortmapperProgram = 100000;
inline constexpr quint32 kPortmapperVersion = 2;
inline constexpr quint32 kPortmapperGetPort = 3;
// rpcbind (versions 3 and 4) asks for a universal address instead of a port.
inline constexpr quint32 kRpcbindGetAddress = 3;
inline constexpr quint32 kProtocolTcp = 6;
inline constexpr quint32 kProtocolUdp = 17;

inline constexpr quint32 kCoreProgram = 0x0607AF;
inline constexpr quint32 kAbortProgram = 0x0607B0;
inline constexpr quint32 kCoreVersion = 1;

enum Procedure : quint32 {
    CreateLink = 10,
    DeviceWrite = 11,
    DeviceRead = 12,
    DeviceReadStb = 13,
    DeviceTrigger = 14,
    DeviceClear = 15,
    DeviceRemote = 16,
    DeviceLocal = 17,
    DeviceLock = 18,
    DeviceUnlock = 19,
    DestroyLink = 23,
};

// Device_Flags
inline constexpr quint32 kFlagWaitLock = 0x01;
inline constexpr quint32 kFlagEnd = 0x08;
inline constexpr quint32 kFlagTermCharSet = 0x80;
// Device_ReadResp reasons
inline constexpr qint32 kReasonRequestCount = 0x01;
inline constexpr qint32 kReasonTermChar = 0x02;
inline constexpr qint32 kReasonEnd = 0x04;

enum ErrorCode : qint32 {
    NoError = 0,
    SyntaxError = 1,
    DeviceNotAccessible = 3,
    InvalidLink = 4,
    ParameterError = 5,
    ChannelNotEstablished = 6,
    OperationNotSupported = 8,
    OutOfResources = 9,
    DeviceLocked = 11,
    NoLockHeld = 12,
    IoTimeout = 15,
    IoError = 17,
    InvalidAddress = 21,
    Abort = 23,
    ChannelAlreadyEstablished = 29,
};

IXO_EXPORT QString errorText(qint32 code);

struct IXO_EXPORT LinkResponse {
    qint32 error = 0;
    qint32 link = 0;
    quint16 abortPort = 0;
    quint32 maxReceiveSize = 0;
};

struct IXO_EXPORT ReadResponse {
    qint32 error = 0;
    qint32 reason = 0;
    QByteArrayView data;
};

// The results of a reply already checked by RpcMessage::results; AutomationError when malformed
// or when the data is longer than maxData.
IXO_EXPORT LinkResponse parseLinkResponse(QByteArrayView results);
IXO_EXPORT ReadResponse parseReadResponse(QByteArrayView results, qsizetype maxData);

} // namespace Vxi11Protocol

} // namespace ixo
