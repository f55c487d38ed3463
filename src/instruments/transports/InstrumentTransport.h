#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <memory>

namespace ixo {

class ResourceString;

// The byte pipe to one instrument. Each interface (raw socket, VXI-11, USBTMC) is a subclass;
// message framing and SCPI belong to the client above. Failures are AutomationErrors with
// VisaStatus numbers.
class InstrumentTransport {
public:
    virtual ~InstrumentTransport();

    virtual QString resourceName() const = 0;
    virtual void open(QDeadlineTimer deadline) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void write(const QByteArray &bytes, QDeadlineTimer deadline) = 0;
    // At most maxBytes, at least one unless the deadline passes first, when the result is
    // empty. A lost connection raises an error.
    virtual QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) = 0;
    // Called from another thread to end the exchange in progress: the waiting read or write
    // then fails soon instead of at its deadline. The default does nothing.
    virtual void cancel() {}

    // The transport for a resource; VisaStatus::NotSupported for interfaces not built yet.
    static std::unique_ptr<InstrumentTransport> create(const ResourceString &resource);

protected:
    InstrumentTransport() = default;
    InstrumentTransport(const InstrumentTransport &) = delete;
    InstrumentTransport &operator=(const InstrumentTransport &) = delete;
};

} // namespace ixo
