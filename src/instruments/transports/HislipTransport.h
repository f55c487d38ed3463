#pragma once

#include "automation/Export.h"
#include "instruments/protocols/HislipMessageReader.h"
#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SocketChannel.h"

namespace ixo {

// HiSLIP (TCPIP::host::hislip0[,port]::INSTR): a synchronous channel carrying the messages
// as Data/DataEnd and an asynchronous one for initialization, the maximum message size and
// device clear. Reads hand out the data of the answers in order; the end of an answer (DataEnd)
// always ends with a newline for the SCPI layer above. An answer given up is cleared with
// AsyncDeviceClear, so that it never comes as the next one.
class IXO_EXPORT HislipTransport : public InstrumentTransport {
public:
    static constexpr quint16 kDefaultPort = 4880;
    // What this client accepts in one message; larger answers come as several.
    static constexpr quint64 kDefaultMaxMessageSize = quint64(1) << 20;
    static constexpr int kClearTimeoutMs = 1000;

    HislipTransport(QString host, quint16 port, QString subAddress, QString resourceName);

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    // An answer still awaited when the deadline passes is given up with a device clear.
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

    // Takes effect on the next open.
    void setMaxMessageSize(quint64 bytes) { m_maxReceive = bytes; }
    quint16 sessionId() const { return m_sessionId; }
    quint16 serverVersion() const { return m_serverVersion; }
    // The device's limit for one message, learnt on open.
    quint64 maxSendSize() const { return m_maxSend; }
    int deviceClears() const { return m_deviceClears; }

private:
    struct Channel {
        Channel(InstrumentTransport &owner, quint64 maxPayload)
            : socket(owner)
            , reader(maxPayload) {}
        SocketChannel socket;
        HislipMessageReader reader;
    };

    void send(Channel &channel, quint8 type, quint8 control, quint32 parameter,
              QByteArrayView payload, QDeadlineTimer deadline);
    // False when the deadline passes first.
    bool receive(Channel &channel, HislipMessage &message, QDeadlineTimer deadline);
    HislipMessage expect(Channel &channel, quint8 type, QDeadlineTimer deadline,
                         const QString &request);
    void deviceClear();
    [[noreturn]] void failReported(const HislipMessage &message);

    QString m_host;
    quint16 m_port;
    QString m_subAddress;
    quint64 m_maxReceive = kDefaultMaxMessageSize;
    Channel m_sync{*this, kDefaultMaxMessageSize};
    Channel m_async{*this, kDefaultMaxMessageSize};
    quint16 m_sessionId = 0;
    quint16 m_serverVersion = 0;
    quint64 m_maxSend = 0;
    quint32 m_messageId = HislipMessage::kFirstMessageId;
    bool m_rmtDelivered = false;
    QByteArray m_pending;
    qsizetype m_pendingOffset = 0;
    bool m_answerEndsLine = true;
    int m_deviceClears = 0;
};

} // namespace ixo
