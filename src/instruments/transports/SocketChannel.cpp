#include "instruments/transports/SocketChannel.h"

#include "instruments/VisaStatus.h"
#include "instruments/transports/InstrumentTransport.h"

#include <QTcpSocket>

namespace ixo {

SocketChannel::SocketChannel(InstrumentTransport &owner)
    : m_owner(owner) {}

SocketChannel::~SocketChannel() {
    close();
}

void SocketChannel::fail(std::int32_t number, const QString &what) {
    m_owner.fail(number, what);
}

void SocketChannel::connect(const QString &host, quint16 port, QDeadlineTimer deadline,
                            const QString &service) {
    close();
    // Created here so that the socket belongs to the thread that talks to the instrument.
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(host, port);
    if (!m_socket->waitForConnected(InstrumentTransport::waitTime(deadline))) {
        const bool timedOut = m_socket->error() == QAbstractSocket::SocketTimeoutError;
        const QString where = service.isEmpty()
                                  ? QString()
                                  : QStringLiteral("%1 on port %2: ").arg(service).arg(port);
        fail(timedOut ? VisaStatus::Timeout : VisaStatus::ResourceNotFound,
             QStringLiteral("cannot be reached: ") + where + m_socket->errorString());
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_owner.canceller().watch(*m_socket);
}

void SocketChannel::close() {
    if (!m_socket)
        return;
    // Forgotten before it closes, so that a descriptor number handed out again is never
    // shut down by a late cancel.
    m_owner.canceller().forget(*m_socket);
    m_socket->abort();
    m_socket.reset();
}

bool SocketChannel::isConnected() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void SocketChannel::write(QByteArrayView bytes, QDeadlineTimer deadline, qint64 keepQueued) {
    if (!isConnected())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    if (!bytes.isEmpty() && m_socket->write(bytes.data(), bytes.size()) != bytes.size())
        fail(VisaStatus::ConnectionLost, QStringLiteral("refused the data"));
    while (m_socket->bytesToWrite() > keepQueued) {
        if (m_socket->waitForBytesWritten(InstrumentTransport::waitTime(deadline)))
            continue;
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
        fail(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
    }
}

bool SocketChannel::waitForInput(QDeadlineTimer deadline) {
    if (!m_socket)
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    if (m_socket->bytesAvailable() > 0)
        return true;
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
    if (m_socket->waitForReadyRead(InstrumentTransport::waitTime(deadline)) ||
        m_socket->bytesAvailable() > 0)
        return true;
    if (m_socket->error() != QAbstractSocket::SocketTimeoutError ||
        m_socket->state() != QAbstractSocket::ConnectedState)
        fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
    return false;
}

qint64 SocketChannel::bytesAvailable() const {
    return m_socket ? m_socket->bytesAvailable() : 0;
}

QByteArray SocketChannel::read(qint64 maxBytes) {
    if (!m_socket)
        return {};
    return m_socket->read(std::min<qint64>(maxBytes, m_socket->bytesAvailable()));
}

} // namespace ixo
