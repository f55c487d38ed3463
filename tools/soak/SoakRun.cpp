#include "SoakRun.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QThread>
#include <array>
#include <optional>
#include <random>
#include <unistd.h>

namespace ixo::soak {

namespace {

using Settings = QMap<QString, QString>;

struct State {
    Settings settings;
    QByteArray waveform;
    bool operator==(const State &) const = default;
};

enum class Fault {
    FailCapture,
    DelayCapture,
    DropCapture,
    GarbleCapture,
    FailRestore,
    DelayRestore,
    GarbleRestore
};
constexpr int kFaultCount = 7;

const char *faultName(Fault fault) {
    static constexpr std::array<const char *, kFaultCount> names{
        "failed capture", "late capture", "dropped capture", "garbled capture",
        "failed restore", "late restore", "garbled restore"};
    return names[static_cast<size_t>(fault)];
}

bool isCaptureFault(Fault fault) {
    return fault <= Fault::GarbleCapture;
}

// The numbers a fault may end in: what the client can tell from what it saw.
bool expected(Fault fault, std::int32_t number) {
    switch (fault) {
    case Fault::FailCapture:
    case Fault::FailRestore:
        return number == ErrorNumber::Fail;
    case Fault::DelayCapture:
    case Fault::DelayRestore:
        return number == VisaStatus::Timeout;
    case Fault::DropCapture:
        return number == VisaStatus::ConnectionLost || number == VisaStatus::Timeout;
    case Fault::GarbleCapture:
    case Fault::GarbleRestore:
        return number == VisaStatus::Io;
    }
    return false;
}

class Cycle {
public:
    Cycle(Rig &rig, std::mt19937_64 &random, const SoakOptions &options)
        : m_rig(rig)
        , m_random(random)
        , m_options(options) {}

    // An empty result when the cycle went as it should.
    QString run(int index, bool withFault, bool &faulted) {
        const bool blocks = index % 2 == 1;
        ScpiInstrument &client = m_rig.client();
        if (blocks) {
            client.setSetupQuery(SimulatedDevice::kSetupQuery);
            client.setRestoreCommand(SimulatedDevice::kSetupCommand);
        } else {
            client.setLearnQuery({});
        }
        std::optional<Fault> fault;
        if (withFault) {
            fault = static_cast<Fault>(uniform(0, kFaultCount - 1));
            // A learn string is free text, so garbage would pass for one.
            if (*fault == Fault::GarbleCapture && !blocks)
                fault = Fault::GarbleRestore;
            faulted = true;
        }
        change(blocks);
        const State captured = state();
        if (fault && isCaptureFault(*fault))
            inject(*fault);
        QVariant setup;
        try {
            setup = client.CaptureState();
        } catch (const AutomationError &error) {
            if (!fault || !isCaptureFault(*fault))
                return QStringLiteral("capture failed: ") + error.description();
            return checkFailure(*fault, error, captured);
        }
        if (fault && isCaptureFault(*fault))
            return QStringLiteral("no error for a %1").arg(QLatin1String(faultName(*fault)));

        change(blocks);
        const State changed = state();
        if (fault)
            inject(*fault);
        try {
            client.RestoreState(setup);
        } catch (const AutomationError &error) {
            if (!fault)
                return QStringLiteral("restore failed: ") + error.description();
            // The instrument is still busy with a late restore; the next cycle must not pay
            // for it.
            if (*fault == Fault::DelayRestore)
                waitUntilIdle();
            // A refused restore changes nothing; a late or garbled answer came after it.
            return checkFailure(
                *fault, error, *fault == Fault::FailRestore ? changed : restored(captured, blocks));
        }
        if (fault)
            return QStringLiteral("no error for a %1").arg(QLatin1String(faultName(*fault)));
        if (state() != restored(captured, blocks))
            return QStringLiteral("restored %1, captured %2")
                .arg(describe(state()), describe(captured));
        return {};
    }

private:
    int uniform(int low, int high) { return std::uniform_int_distribution(low, high)(m_random); }
    double uniformReal(double low, double high) {
        return std::uniform_real_distribution(low, high)(m_random);
    }

    State state() const { return {m_rig.device().settings(), m_rig.device().waveform()}; }

    // A learn string starts with *RST, which empties the waveform memory.
    static State restored(State captured, bool blocks) {
        if (!blocks)
            captured.waveform.clear();
        return captured;
    }

    static QString describe(const State &state) {
        QStringList parts;
        for (auto it = state.settings.cbegin(); it != state.settings.cend(); ++it)
            parts.append(it.key() + QLatin1Char(' ') + it.value());
        parts.append(QStringLiteral("waveform of %1 bytes").arg(state.waveform.size()));
        return parts.join(QLatin1String("; "));
    }

    // A few settings, and sometimes the waveform, to new values in range.
    void change(bool blocks) {
        const QString onOff = uniform(0, 1) ? QStringLiteral("ON") : QStringLiteral("OFF");
        const std::array<QString, 12> commands{
            QStringLiteral(":FREQ %1").arg(uniformReal(9e3, 6e9), 0, 'E', 6),
            QStringLiteral(":POW %1").arg(uniformReal(-130, 20), 0, 'f', 2),
            QStringLiteral(":OUTP ") + onOff,
            QStringLiteral(":AM:STAT ") + onOff,
            QStringLiteral(":AM:DEPT %1").arg(uniformReal(0, 100), 0, 'f', 1),
            QStringLiteral(":FM:STAT ") + onOff,
            QStringLiteral(":FM:DEV %1").arg(uniformReal(0, 1e7), 0, 'E', 3),
            QStringLiteral(":PULM:STAT ") + onOff,
            QStringLiteral(":PULM:WIDT %1").arg(uniformReal(1e-8, 1), 0, 'E', 3),
            QStringLiteral(":PULM:PER %1").arg(uniformReal(1e-7, 10), 0, 'E', 3),
            QStringLiteral(":LFO:FREQ %1").arg(uniformReal(0.1, 1e6), 0, 'E', 3),
            QStringLiteral(":TRIG:SOUR ") + QStringList{QStringLiteral("IMM"),
                                                        QStringLiteral("EXT"),
                                                        QStringLiteral("BUS")}[uniform(0, 2)],
        };
        QByteArray program;
        for (int i = uniform(1, 4); i > 0; --i)
            program += commands[size_t(uniform(0, int(commands.size()) - 1))].toUtf8() + '\n';
        if (blocks && uniform(0, 3) == 0) {
            QByteArray waveform(uniform(0, 4096), Qt::Uninitialized);
            for (char &byte : waveform)
                byte = static_cast<char>(uniform(0, 255));
            program +=
                SimulatedDevice::kWaveformCommand.toUtf8() + ' ' + Ieee488Block::encode(waveform);
        }
        m_rig.device().apply(program);
    }

    // Until the operation is done and its late answer has gone out, to be thrown away when the
    // next cycle connects anew.
    void waitUntilIdle() {
        const QDeadlineTimer deadline(4 * m_options.timeoutMs + 1000);
        while (m_rig.device().operationPending() && !deadline.hasExpired())
            QThread::msleep(10);
        QThread::msleep(100);
    }

    void inject(Fault fault) {
        SimulatedDevice &device = m_rig.device();
        const int late = 3 * m_options.timeoutMs + 500;
        switch (fault) {
        case Fault::FailCapture:
            device.failNextCapture();
            break;
        case Fault::DelayCapture:
            device.delayNextCapture(late);
            break;
        case Fault::DropCapture:
            device.dropNextCapture();
            break;
        case Fault::GarbleCapture:
        case Fault::GarbleRestore:
            device.garbleNextAnswer("x" + QByteArray::number(uniform(0, 1 << 30)) + "\n");
            break;
        case Fault::FailRestore:
            device.failNextRestore();
            break;
        case Fault::DelayRestore:
            device.delayNextRestore(late);
            break;
        }
    }

    QString checkFailure(Fault fault, const AutomationError &error, const State &expectedState) {
        if (!expected(fault, error.number()) || error.description().isEmpty())
            return QStringLiteral("a %1 gave error 0x%2: %3")
                .arg(QLatin1String(faultName(fault)))
                .arg(quint32(error.number()), 8, 16, QLatin1Char('0'))
                .arg(error.description());
        if (state() != expectedState)
            return QStringLiteral("after a %1 the device holds %2, not %3")
                .arg(QLatin1String(faultName(fault)), describe(state()), describe(expectedState));
        return {};
    }

    Rig &m_rig;
    std::mt19937_64 &m_random;
    const SoakOptions &m_options;
};

} // namespace

qint64 residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().simplified().split(' ');
    return fields.size() < 2 ? -1 : fields[1].toLongLong() * (::sysconf(_SC_PAGESIZE) / 1024);
}

SoakResult runSoak(const TransportEntry &transport, const SoakOptions &options, QTextStream &out) {
    SoakResult result;
    std::mt19937_64 random(options.seed);
    std::bernoulli_distribution faulty(options.faultRate);
    const std::unique_ptr<Rig> rig = transport.make();
    rig->client().setTimeout(options.timeoutMs);
    Cycle cycle(*rig, random, options);
    const int warmUp = std::min(500, options.cycles / 2);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < options.cycles; ++i) {
        if (i == warmUp)
            result.warmRssKiB = residentKiB();
        bool faulted = false;
        QString failure;
        try {
            failure = cycle.run(i, faulty(random), faulted);
        } catch (const AutomationError &error) {
            failure = QStringLiteral("unexpected error: ") + error.description();
        }
        result.faults += faulted ? 1 : 0;
        ++result.cycles;
        if (!failure.isEmpty()) {
            ++result.failures;
            out << transport.name << " cycle " << i << ": " << failure << Qt::endl;
        }
        if ((i + 1) % 1000 == 0)
            out << transport.name << ": " << i + 1 << " cycles, " << result.faults << " faults, "
                << result.failures << " failures, " << clock.elapsed() / 1000.0 << " s, "
                << residentKiB() << " KiB resident" << Qt::endl;
    }
    result.endRssKiB = residentKiB();
    result.elapsedMs = clock.elapsed();
    return result;
}

} // namespace ixo::soak
