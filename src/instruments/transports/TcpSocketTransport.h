#pragma once

#include "automation/Export.h"
#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SocketChannel.h"

namespace ixo {

// A raw SCPI socket (TCPIP::host::port::SOCKET): the bytes as they are. The protocol has no
// device clear, so an answer given up is left behind with the connection, which the client
// closes after a failed exchange; the next exchange starts on a fresh one.
class IXO_EXPORT TcpSocketTransport : public InstrumentTransport {
public:
    TcpSocketTransport(QString host, quint16 port, QString resourceName);

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

private:
    QString m_host;
    quint16 m_port;
    SocketChannel m_channel{*this};
};

} // namespace ixo
