#include "desktop/InstrumentRelay.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "desktop/ExchangeProgress.h"
#include "instruments/VisaStatus.h"

#include <QWidget>
#include <atomic>
#include <future>
#include <memory>

namespace ixo {

namespace {

const QString kInstrumentRelaySource = QStringLiteral("ixo-setups");

// What the worker leaves for the waiting thread; shared, so that it outlives either side.
struct Outcome {
    std::atomic<bool> done = false;
    std::exception_ptr failure;
};

// An instrument asked from other threads through the relay's thread, which keeps its connection.
class PooledInstrument : public SetupInterface {
public:
    PooledInstrument(SetupInterfaceRef instrument, QThreadPool &thread)
        : m_instrument(std::move(instrument))
        , m_thread(thread) {}

    // Defined before its callers, which deduce its result from it.
    template <typename Work> auto call(Work &&work) {
        std::packaged_task<decltype(work())()> task(std::forward<Work>(work));
        auto result = task.get_future();
        m_thread.start([&task] { task(); });
        return result.get();
    }

    QString Model() override {
        return call([this] { return m_instrument->Model(); });
    }
    QVariant CaptureState() override {
        return call([this] { return m_instrument->CaptureState(); });
    }
    void RestoreState(const QVariant &state) override {
        call([this, &state] { m_instrument->RestoreState(state); });
    }
    QString Version() override {
        return call([this] { return m_instrument->Version(); });
    }
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override {
        return call([&] { return m_instrument->ImportLegacyFile(fileName, progId); });
    }

private:
    SetupInterfaceRef m_instrument;
    QThreadPool &m_thread;
};

} // namespace

InstrumentRelay::InstrumentRelay(SetupInterfaceRef instrument, QObject *parent)
    : QObject(parent) {
    // One thread that lives as long as the window: a socket belongs to its thread.
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
    takeInstrument(std::move(instrument));
}

InstrumentRelay::~InstrumentRelay() {
    releaseInstrument();
    m_thread.waitForDone();
}

QString InstrumentRelay::notConnectedText() {
    return tr("No instrument is connected. Choose Instrument > Connect... to connect one.");
}

bool InstrumentRelay::isConnectionError(std::int32_t number) {
    return number == VisaStatus::ConnectionLost || number == VisaStatus::ResourceNotFound ||
           number == VisaStatus::Timeout || number == VisaStatus::Io;
}

void InstrumentRelay::setInstrument(SetupInterfaceRef instrument) {
    releaseInstrument();
    takeInstrument(std::move(instrument));
    m_lost = false;
    emit instrumentChanged();
}

void InstrumentRelay::takeInstrument(SetupInterfaceRef instrument) {
    const auto cancellable = std::dynamic_pointer_cast<CancellableInstrument>(instrument);
    m_cancellable = cancellable;
    m_name = cancellable ? cancellable->resourceName() : tr("the instrument");
    m_instrument = std::move(instrument);
}

void InstrumentRelay::cancelExchange() const {
    if (const auto held = m_cancellable.lock())
        held->cancel();
}

// The last reference goes on the instrument's thread, which closes its connection there.
void InstrumentRelay::releaseInstrument() {
    if (SetupInterfaceRef previous = std::exchange(m_instrument, nullptr))
        m_thread.start([previous = std::move(previous)]() mutable { previous.reset(); });
}

SetupInterfaceRef InstrumentRelay::connected() const {
    if (!m_instrument)
        throw AutomationError(ErrorNumber::Fail, kInstrumentRelaySource, notConnectedText());
    return m_instrument;
}

QString InstrumentRelay::Model() {
    return run([instrument = connected()] { return instrument->Model(); });
}

QVariant InstrumentRelay::CaptureState() {
    return run([instrument = connected()] { return instrument->CaptureState(); },
               tr("Capturing the setup of %1...").arg(m_name));
}

void InstrumentRelay::RestoreState(const QVariant &state) {
    const SetupInterfaceRef instrument = connected();
    try {
        run([&instrument, &state] { instrument->RestoreState(state); },
            tr("Restoring a setup to %1...").arg(m_name));
    } catch (const AutomationError &) {
        // Part of the setup may have been sent.
        emit setupChanged();
        throw;
    }
    emit setupChanged();
}

QString InstrumentRelay::Version() {
    return run([instrument = connected()] { return instrument->Version(); });
}

SetupInterfaceRef InstrumentRelay::forOtherThreads() {
    return std::make_shared<PooledInstrument>(connected(), m_thread);
}

ObjectRef InstrumentRelay::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return run(
        [&, instrument = connected()] { return instrument->ImportLegacyFile(fileName, progId); });
}

// Inside a wait already open, such as a bench restore's, the exchange shows in its dialog.
void InstrumentRelay::wait(const std::function<void()> &work, const QString &progress,
                           const std::function<void()> &cancel, bool tracked) {
    const QString name = m_name;
    ExchangeProgress *open = ExchangeProgress::open();
    if (open && open->isCancelled())
        ExchangeProgress::throwCancelled(name);
    auto outcome = std::make_shared<Outcome>();
    m_thread.start([outcome, &work] {
        try {
            work();
        } catch (...) {
            outcome->failure = std::current_exception();
        }
        outcome->done = true;
    });
    std::optional<ExchangeProgress> own;
    if (!open)
        open = &own.emplace(m_window, tr("Waiting for %1").arg(name), progress,
                            tr("Cancelling the exchange with %1...").arg(name), cancel);
    open->waitUntil(outcome->done);
    if (open->isCancelled())
        ExchangeProgress::throwCancelled(name);
    if (tracked)
        noteOutcome(outcome->failure);
    if (outcome->failure)
        std::rethrow_exception(outcome->failure);
}

void InstrumentRelay::noteOutcome(const std::exception_ptr &failure) {
    if (!failure) {
        if (std::exchange(m_lost, false))
            emit connectionRestored();
        return;
    }
    try {
        std::rethrow_exception(failure);
    } catch (const AutomationError &error) {
        if (isConnectionError(error.number())) {
            m_lost = true;
            emit connectionLost(error.description());
        }
    } catch (...) {
        // Not an instrument's error: the caller sees it as it is.
    }
}

} // namespace ixo
