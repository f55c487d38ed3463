#include "automation/AutomationError.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/InstrumentTransport.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// An instrument whose answers are the fuzz input, handed out in small chunks so that block
// headers and terminators fall across reads. When it runs dry the connection is lost
// rather than left to time out, which keeps each run fast.
class ScriptedTransport : public ixo::InstrumentTransport {
public:
    explicit ScriptedTransport(QByteArray answers)
        : InstrumentTransport(QStringLiteral("FUZZ::INSTR"), QStringLiteral("Fuzz"))
        , m_answers(std::move(answers)) {}

    void open(QDeadlineTimer) override { m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void write(const QByteArray &, QDeadlineTimer) override {}
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override {
        // Nothing is pending between exchanges: the answers come only when asked.
        if (deadline.hasExpired())
            return {};
        if (m_position >= m_answers.size())
            throw ixo::AutomationError(ixo::VisaStatus::ConnectionLost, resourceName(),
                                       QStringLiteral("no more answers"));
        const qsizetype chunk = qMin(qMin(maxBytes, qsizetype(7)), m_answers.size() - m_position);
        const QByteArray bytes = m_answers.mid(m_position, chunk);
        m_position += chunk;
        return bytes;
    }

private:
    QByteArray m_answers;
    qsizetype m_position = 0;
    bool m_open = false;
};

} // namespace

// The first byte picks the exchange; the rest is what the instrument answers to it. Any answer
// either gives a result or is refused with an AutomationError.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const QByteArray answers(reinterpret_cast<const char *>(data) + 1,
                             static_cast<qsizetype>(size - 1));
    (void)ixo::Ieee488Block::scan(answers, 4096);
    ixo::ScpiInstrument client(std::make_unique<ScriptedTransport>(answers));
    client.setMaxBlockSize(4096);
    try {
        switch (data[0] % 4) {
        case 0:
            (void)client.Model();
            (void)client.identity().firmware;
            break;
        case 1:
            (void)client.CaptureState();
            break;
        case 2:
            client.setSetupQuery(QStringLiteral(":SYST:SET?"));
            (void)client.CaptureState();
            break;
        default:
            (void)client.readErrors();
            break;
        }
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
