#pragma once

#include "automation/Export.h"
#include "instruments/transports/SocketCanceller.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <atomic>
#include <memory>

namespace ixo {

class ResourceString;

// The byte pipe to one instrument. Each interface (raw socket, VXI-11, HiSLIP, USBTMC, serial)
// is a subclass that adds only its protocol; message framing and SCPI belong to the client
// above. What every transport shares lives here: the resource name in messages, failing with
// the connection closed, the wait times of a deadline and cancelling from another thread.
// Failures are AutomationErrors with VisaStatus numbers.
class IXO_EXPORT InstrumentTransport {
public:
    virtual ~InstrumentTransport();

    QString resourceName() const { return m_resourceName; }
    virtual void open(QDeadlineTimer deadline) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray &bytes, QDeadlineTimer deadline) = 0;
    // At most maxBytes, at least one unless the deadline passes first, when the result is
    // empty. A lost connection raises an error. An answer given up this way must not come
    // later as the answer to the next exchange: each transport leaves the instrument ready.
    virtual QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) = 0;
    // Called from another thread to end the exchange in progress: the waiting read or write
    // then fails soon instead of at its deadline. Sockets are shut down under their waits;
    // waits that nothing can wake look for it between short slices (checkCancelled).
    void cancel();

    // The transport for a resource; VisaStatus::NotSupported for interfaces not built yet.
    static std::unique_ptr<InstrumentTransport> create(const ResourceString &resource);

    // How often a wait that cannot be woken looks whether it was cancelled.
    static constexpr qint64 kCancelCheckMs = 50;

protected:
    // source names the transport in the errors it raises.
    InstrumentTransport(QString resourceName, QString source);
    InstrumentTransport(const InstrumentTransport &) = delete;
    InstrumentTransport &operator=(const InstrumentTransport &) = delete;

    // Abandons the connection, which is out of step, and raises the error naming the resource.
    [[noreturn]] void fail(std::int32_t number, const QString &what);
    // What a failure does to the connection: close() unless the protocol has a quieter way.
    virtual void abandon() { close(); }

    // An exchange starts: a cancel meant for an earlier one is void.
    void startExchange() { m_cancelled = false; }
    // Fails as a lost connection when cancel() was called since the exchange started.
    void checkCancelled();
    SocketCanceller &canceller() { return m_canceller; }

    // A deadline as the milliseconds Qt's waits take (-1: forever).
    static int waitTime(QDeadlineTimer deadline);
    // The next slice of a wait that looks for a cancel between slices.
    static int sliceOf(QDeadlineTimer deadline);

private:
    friend class SocketChannel;

    QString m_resourceName;
    QString m_source;
    SocketCanceller m_canceller;
    std::atomic<bool> m_cancelled = false;
};

} // namespace ixo
