#pragma once

#include "automation/Export.h"
#include "instruments/transports/InstrumentTransport.h"

#include <QList>

namespace ixo {

class SimulatedDevice;

// A transport to a SimulatedDevice in the same process, with the timing and failures of a real
// connection: delayed answers arrive late or time out, a dropped answer ends the connection, and
// a cancel ends the wait for an answer.
class IXO_EXPORT InProcessTransport : public InstrumentTransport {
public:
    explicit InProcessTransport(std::shared_ptr<SimulatedDevice> device);

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

    SimulatedDevice &device() const { return *m_device; }

private:
    struct Pending {
        QByteArray bytes;
        QDeadlineTimer readyAt;
    };

    void sleepUntil(QDeadlineTimer deadline);

    std::shared_ptr<SimulatedDevice> m_device;
    QByteArray m_input;
    QList<Pending> m_pending;
    bool m_open = false;
    bool m_closing = false;
};

} // namespace ixo
