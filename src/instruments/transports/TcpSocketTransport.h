#pragma once

#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SocketCanceller.h"

#include <QTcpSocket>

namespace ixo {

// A raw SCPI socket (TCPIP::host::port::SOCKET), used with blocking waits so that a call
// from a button handler returns with an answer or an error and never re-enters the event loop.
class TcpSocketTransport : public InstrumentTransport {
public:
    TcpSocketTransport(QString host, quint16 port, QString resourceName);
    ~TcpSocketTransport() override;

    QString resourceName() const override { return m_resourceName; }
    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;
    // Shuts the connection down under the waiting call, which then fails as a lost connection.
    void cancel() override;

private:
    [[noreturn]] void fail(std::int32_t number, const QString &what);
    static int waitTime(QDeadlineTimer deadline);

    QString m_host;
    quint16 m_port;
    QString m_resourceName;
    std::unique_ptr<QTcpSocket> m_socket;
    SocketCanceller m_canceller;
};

} // namespace ixo
