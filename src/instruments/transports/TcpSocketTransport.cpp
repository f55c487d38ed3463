#include "instruments/transports/TcpSocketTransport.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <limits>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.TcpSocketTransport");

} // namespace

TcpSocketTransport::TcpSocketTransport(QString host, quint16 port, QString resourceName)
    : m_host(std::move(host))
    , m_port(port)
    , m_resourceName(std::move(resourceName)) {}

TcpSocketTransport::~TcpSocketTransport() {
    close();
}

int TcpSocketTransport::waitTime(QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    if (remaining < 0)
        return -1;
    return static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max()));
}

void TcpSocketTransport::fail(std::int32_t number, const QString &what) {
    const QString reason = m_socket ? m_socket->errorString() : QString();
    close();
    throw AutomationError(number, kSource,
                          QStringLiteral("%1 %2: %3").arg(m_resourceName, what, reason));
}

void TcpSocketTransport::open(QDeadlineTimer deadline) {
    close();
    // Created here so that the socket belongs to the thread that talks to the instrument.
    m_socket = std::make_unique<QTcpSocket>();
    m_socket->connectToHost(m_host, m_port);
    if (!m_socket->waitForConnected(waitTime(deadline))) {
        const bool timedOut = m_socket->error() == QAbstractSocket::SocketTimeoutError;
        fail(timedOut ? VisaStatus::Timeout : VisaStatus::ResourceNotFound,
             QStringLiteral("cannot be reached"));
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_canceller.watch(*m_socket);
}

void TcpSocketTransport::close() {
    if (!m_socket)
        return;
    m_canceller.forget(*m_socket);
    m_socket->abort();
    m_socket.reset();
}

void TcpSocketTransport::cancel() {
    m_canceller.cancel();
}

bool TcpSocketTransport::isOpen() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void TcpSocketTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    if (m_socket->write(bytes) != bytes.size())
        fail(VisaStatus::ConnectionLost, QStringLiteral("refused the data"));
    while (m_socket->bytesToWrite() > 0) {
        if (m_socket->waitForBytesWritten(waitTime(deadline)))
            continue;
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
        fail(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
    }
}

QByteArray TcpSocketTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!m_socket)
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    if (m_socket->bytesAvailable() == 0) {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
        if (!m_socket->waitForReadyRead(waitTime(deadline)) && m_socket->bytesAvailable() == 0) {
            const bool timedOut = m_socket->error() == QAbstractSocket::SocketTimeoutError &&
                                  m_socket->state() == QAbstractSocket::ConnectedState;
            if (!timedOut)
                fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
            return QByteArray();
        }
    }
    // Never more than has arrived, so a large limit does not become a large allocation.
    return m_socket->read(std::min<qint64>(maxBytes, m_socket->bytesAvailable()));
}

} // namespace ixo
