#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace ixo {

// One HiSLIP message: a 16-byte header (prologue "HS", message type, control code, a 32-bit
// parameter and a 64-bit payload length, all big-endian) and its payload.
struct IXO_EXPORT HislipMessage {
    enum Type : quint8 {
        Initialize = 0,
        InitializeResponse = 1,
        FatalError = 2,
        Error = 3,
        Data = 6,
        DataEnd = 7,
        DeviceClearComplete = 8,
        DeviceClearAcknowledge = 9,
        Interrupted = 13,
        AsyncInterrupted = 14,
        AsyncMaximumMessageSize = 15,
        AsyncMaximumMessageSizeResponse = 16,
        AsyncInitialize = 17,
        AsyncInitializeResponse = 18,
        AsyncDeviceClear = 19,
        AsyncServiceRequest = 20,
        AsyncDeviceClearAcknowledge = 23,
    };

    static constexpr qsizetype kHeaderSize = 16;
    static constexpr quint16 kProtocolVersion = 0x0100;
    // The first message id after initialization and after each device clear; ids go up by 2.
    static constexpr quint32 kFirstMessageId = 0xFFFFFF00u;
    // Data and DataEnd from the client: the previous answer was read in full.
    static constexpr quint8 kRmtDelivered = 0x01;

    // FatalError codes.
    static constexpr quint8 kFatalUnidentified = 0;
    static constexpr quint8 kFatalBadHeader = 1;
    static constexpr quint8 kFatalNoChannels = 2;
    static constexpr quint8 kFatalInitialization = 3;
    static constexpr quint8 kFatalTooManyClients = 4;
    // Error codes.
    static constexpr quint8 kErrorUnidentified = 0;
    static constexpr quint8 kErrorUnknownType = 1;
    static constexpr quint8 kErrorUnknownControl = 2;
    static constexpr quint8 kErrorUnknownVendor = 3;
    static constexpr quint8 kErrorTooLarge = 4;

    quint8 type = 0;
    quint8 control = 0;
    quint32 parameter = 0;
    QByteArray payload;

    static QByteArray header(quint8 type, quint8 control, quint32 parameter, quint64 length);
    static QByteArray encode(quint8 type, quint8 control, quint32 parameter,
                             QByteArrayView payload = {});
    // The 8-byte payload of the maximum message size messages.
    static QByteArray sizePayload(quint64 size);
    static quint64 sizeFromPayload(QByteArrayView payload);
    static QString typeName(quint8 type);
    // What an Error or FatalError code means.
    static QString errorText(bool fatal, quint8 code);
};

} // namespace ixo
