#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <memory>

class QTcpSocket;

namespace ixo {

class InstrumentTransport;

// One TCP connection of a transport, used with blocking waits under the caller's deadline so
// that a call from a button handler returns with an answer or an error and never re-enters the
// event loop. A failure fails the owning transport (which closes every channel it has); a
// cancel of the transport shuts the connection down under its wait. Closed on destruction.
class IXO_EXPORT SocketChannel {
public:
    explicit SocketChannel(InstrumentTransport &owner);
    ~SocketChannel();
    SocketChannel(const SocketChannel &) = delete;
    SocketChannel &operator=(const SocketChannel &) = delete;

    // service, when given, names what listens on the port in the message of a failure.
    void connect(const QString &host, quint16 port, QDeadlineTimer deadline,
                 const QString &service = QString());
    void close();
    bool isConnected() const;

    // Queues bytes and waits until no more than keepQueued of them are left unsent.
    void write(QByteArrayView bytes, QDeadlineTimer deadline, qint64 keepQueued = 0);
    // Waits for input: false when the deadline passes first; a closed connection fails.
    bool waitForInput(QDeadlineTimer deadline);
    qint64 bytesAvailable() const;
    // At most maxBytes of what has arrived: a large limit never becomes a large allocation.
    QByteArray read(qint64 maxBytes);

private:
    [[noreturn]] void fail(std::int32_t number, const QString &what);

    InstrumentTransport &m_owner;
    std::unique_ptr<QTcpSocket> m_socket;
};

} // namespace ixo
