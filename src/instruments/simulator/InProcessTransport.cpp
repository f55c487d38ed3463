#include "instruments/simulator/InProcessTransport.h"

#include "instruments/VisaStatus.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QThread>

namespace ixo {

InProcessTransport::InProcessTransport(std::shared_ptr<SimulatedDevice> device)
    : InstrumentTransport(QStringLiteral("the simulated instrument"),
                          QStringLiteral("IxoInstrSetups.InProcessTransport"))
    , m_device(std::move(device)) {}

void InProcessTransport::open(QDeadlineTimer) {
    close();
    m_open = true;
}

void InProcessTransport::close() {
    m_open = false;
    m_closing = false;
    m_input.clear();
    m_pending.clear();
}

bool InProcessTransport::isOpen() const {
    return m_open && !(m_closing && m_pending.isEmpty());
}

void InProcessTransport::write(const QByteArray &bytes, QDeadlineTimer) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
    startExchange();
    m_input.append(bytes);
    for (;;) {
        const qsizetype length = SimulatedDevice::messageLength(m_input);
        if (length == 0)
            return;
        if (length < 0) {
            m_device->queueError(QStringLiteral("-363,\"Input buffer overrun\""));
            m_input.clear();
            return;
        }
        const SimulatedDevice::Reply reply =
            m_device->process(QByteArrayView(m_input).first(length));
        m_input.remove(0, length);
        if (reply.bytes.isEmpty() || m_closing)
            continue;
        Pending pending{reply.bytes, QDeadlineTimer(reply.delayMs)};
        if (reply.dropHalfway) {
            pending.bytes.truncate(pending.bytes.size() / 2);
            m_closing = true;
        }
        if (!pending.bytes.isEmpty())
            m_pending.append(pending);
    }
}

QByteArray InProcessTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
    if (m_pending.isEmpty()) {
        sleepUntil(deadline);
        return QByteArray();
    }
    Pending &front = m_pending.first();
    if (!front.readyAt.hasExpired()) {
        sleepUntil(std::min(front.readyAt, deadline));
        if (!front.readyAt.hasExpired())
            return QByteArray();
    }
    const QByteArray bytes = front.bytes.left(maxBytes);
    front.bytes.remove(0, bytes.size());
    if (front.bytes.isEmpty())
        m_pending.removeFirst();
    return bytes;
}

// In slices, so that a cancel from another thread ends the wait as it would on a real
// connection.
void InProcessTransport::sleepUntil(QDeadlineTimer deadline) {
    while (!deadline.isForever() && !deadline.hasExpired()) {
        checkCancelled();
        QThread::msleep(static_cast<unsigned long>(sliceOf(deadline)));
    }
    checkCancelled();
}

} // namespace ixo
