#include "instruments/protocols/Vxi11Protocol.h"

#include "instruments/protocols/XdrReader.h"

namespace ixo::Vxi11Protocol {

QString errorText(qint32 code) {
    switch (code) {
    case NoError:
        return QStringLiteral("no error");
    case SyntaxError:
        return QStringLiteral("syntax error");
    case DeviceNotAccessible:
        return QStringLiteral("device not accessible");
    case InvalidLink:
        return QStringLiteral("invalid link identifier");
    case ParameterError:
        return QStringLiteral("parameter error");
    case ChannelNotEstablished:
        return QStringLiteral("channel not established");
    case OperationNotSupported:
        return QStringLiteral("operation not supported");
    case OutOfResources:
        return QStringLiteral("out of resources");
    case DeviceLocked:
        return QStringLiteral("device locked by another link");
    case NoLockHeld:
        return QStringLiteral("no lock held by this link");
    case IoTimeout:
        return QStringLiteral("I/O timeout");
    case IoError:
        return QStringLiteral("I/O error");
    case InvalidAddress:
        return QStringLiteral("invalid address");
    case Abort:
        return QStringLiteral("operation aborted");
    case ChannelAlreadyEstablished:
        return QStringLiteral("channel already established");
    default:
        return QStringLiteral("unknown device error");
    }
}

LinkResponse parseLinkResponse(QByteArrayView results) {
    XdrReader reader(results, QStringLiteral("create_link reply"));
    LinkResponse response;
    response.error = reader.readInt32();
    response.link = reader.readInt32();
    response.abortPort = static_cast<quint16>(reader.readUInt32());
    response.maxReceiveSize = reader.readUInt32();
    return response;
}

ReadResponse parseReadResponse(QByteArrayView results, qsizetype maxData) {
    XdrReader reader(results, QStringLiteral("device_read reply"));
    ReadResponse response;
    response.error = reader.readInt32();
    response.reason = reader.readInt32();
    response.data = reader.readOpaque(maxData);
    return response;
}

} // namespace ixo::Vxi11Protocol
