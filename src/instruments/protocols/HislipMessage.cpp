#include "instruments/protocols/HislipMessage.h"

#include <QtEndian>

namespace ixo {

QByteArray HislipMessage::header(quint8 type, quint8 control, quint32 parameter, quint64 length) {
    QByteArray bytes(kHeaderSize, Qt::Uninitialized);
    char *out = bytes.data();
    out[0] = 'H';
    out[1] = 'S';
    out[2] = static_cast<char>(type);
    out[3] = static_cast<char>(control);
    qToBigEndian(parameter, out + 4);
    qToBigEndian(length, out + 8);
    return bytes;
}

QByteArray HislipMessage::encode(quint8 type, quint8 control, quint32 parameter,
                                 QByteArrayView payload) {
    QByteArray bytes = header(type, control, parameter, static_cast<quint64>(payload.size()));
    bytes.append(payload);
    return bytes;
}

QByteArray HislipMessage::sizePayload(quint64 size) {
    QByteArray bytes(8, Qt::Uninitialized);
    qToBigEndian(size, bytes.data());
    return bytes;
}

quint64 HislipMessage::sizeFromPayload(QByteArrayView payload) {
    if (payload.size() < 8)
        return 0;
    return qFromBigEndian<quint64>(payload.data());
}

QString HislipMessage::typeName(quint8 type) {
    switch (type) {
    case Initialize:
        return QStringLiteral("Initialize");
    case InitializeResponse:
        return QStringLiteral("InitializeResponse");
    case FatalError:
        return QStringLiteral("FatalError");
    case Error:
        return QStringLiteral("Error");
    case Data:
        return QStringLiteral("Data");
    case DataEnd:
        return QStringLiteral("DataEnd");
    case DeviceClearComplete:
        return QStringLiteral("DeviceClearComplete");
    case DeviceClearAcknowledge:
        return QStringLiteral("DeviceClearAcknowledge");
    case AsyncMaximumMessageSize:
        return QStringLiteral("AsyncMaximumMessageSize");
    case AsyncMaximumMessageSizeResponse:
        return QStringLiteral("AsyncMaximumMessageSizeResponse");
    case AsyncInitialize:
        return QStringLiteral("AsyncInitialize");
    case AsyncInitializeResponse:
        return QStringLiteral("AsyncInitializeResponse");
    case AsyncDeviceClear:
        return QStringLiteral("AsyncDeviceClear");
    case AsyncDeviceClearAcknowledge:
        return QStringLiteral("AsyncDeviceClearAcknowledge");
    default:
        return QStringLiteral("message type %1").arg(type);
    }
}

QString HislipMessage::errorText(bool fatal, quint8 code) {
    if (fatal) {
        switch (code) {
        case kFatalBadHeader:
            return QStringLiteral("poorly formed message header");
        case kFatalNoChannels:
            return QStringLiteral("attempt to use the connection without both channels");
        case kFatalInitialization:
            return QStringLiteral("invalid initialization sequence");
        case kFatalTooManyClients:
            return QStringLiteral("maximum number of clients exceeded");
        default:
            return QStringLiteral("unidentified error");
        }
    }
    switch (code) {
    case kErrorUnknownType:
        return QStringLiteral("unrecognized message type");
    case kErrorUnknownControl:
        return QStringLiteral("unrecognized control code");
    case kErrorUnknownVendor:
        return QStringLiteral("unrecognized vendor-defined message");
    case kErrorTooLarge:
        return QStringLiteral("message too large");
    default:
        return QStringLiteral("unidentified error");
    }
}

} // namespace ixo
