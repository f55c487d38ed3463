#include "desktop/ObservedInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/VisaStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <memory>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("ixo-setups");

// What the worker leaves for the waiting thread; shared, so that it outlives either side.
struct Outcome {
    std::atomic<bool> done = false;
    std::exception_ptr failure;
};

} // namespace

ObservedInstrument::ObservedInstrument(SetupInterfaceRef instrument, QString name,
                                       std::function<void()> cancel, QObject *parent)
    : QObject(parent)
    , m_instrument(std::move(instrument))
    , m_name(std::move(name))
    , m_cancel(std::move(cancel)) {
    // One thread that lives as long as the window: a socket belongs to its thread.
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
}

ObservedInstrument::~ObservedInstrument() {
    releaseInstrument();
    m_thread.waitForDone();
}

QString ObservedInstrument::notConnectedText() {
    return tr("No instrument is connected. Choose Instrument > Connect... to connect one.");
}

bool ObservedInstrument::isConnectionError(std::int32_t number) {
    return number == VisaStatus::ConnectionLost || number == VisaStatus::ResourceNotFound ||
           number == VisaStatus::Timeout || number == VisaStatus::Io;
}

void ObservedInstrument::setRestoreCheck(std::function<void(const QVariant &)> check) {
    m_restoreCheck = std::move(check);
}

void ObservedInstrument::setInstrument(SetupInterfaceRef instrument, QString name,
                                       std::function<void()> cancel) {
    releaseInstrument();
    m_instrument = std::move(instrument);
    m_name = std::move(name);
    m_cancel = std::move(cancel);
    m_lost = false;
    emit instrumentChanged();
}

// The last reference goes on the instrument's thread, which closes its connection there.
void ObservedInstrument::releaseInstrument() {
    if (SetupInterfaceRef previous = std::exchange(m_instrument, nullptr))
        m_thread.start([previous = std::move(previous)]() mutable { previous.reset(); });
}

SetupInterfaceRef ObservedInstrument::connected() const {
    if (!m_instrument)
        throw AutomationError(ErrorNumber::Fail, kSource, notConnectedText());
    return m_instrument;
}

QString ObservedInstrument::Model() {
    return run([instrument = connected()] { return instrument->Model(); });
}

QVariant ObservedInstrument::CaptureState() {
    return run([instrument = connected()] { return instrument->CaptureState(); },
               tr("Capturing the setup of %1...").arg(m_name));
}

void ObservedInstrument::RestoreState(const QVariant &state) {
    const SetupInterfaceRef instrument = connected();
    if (m_restoreCheck)
        m_restoreCheck(state);
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

QString ObservedInstrument::Version() {
    return run([instrument = connected()] { return instrument->Version(); });
}

ObjectRef ObservedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return run(
        [&, instrument = connected()] { return instrument->ImportLegacyFile(fileName, progId); });
}

void ObservedInstrument::wait(const std::function<void()> &work, const QString &progress,
                              const std::function<void()> &cancel, bool tracked) {
    auto outcome = std::make_shared<Outcome>();
    m_thread.start([outcome, &work] {
        try {
            work();
        } catch (...) {
            outcome->failure = std::current_exception();
        }
        outcome->done = true;
    });
    // Wakes the loop below often enough to notice the end of the work.
    QTimer tick;
    tick.start(10);
    QElapsedTimer elapsed;
    elapsed.start();
    std::unique_ptr<QProgressDialog> dialog;
    bool cancelled = false;
    const QString name = m_name;
    while (!outcome->done) {
        if (!dialog && !progress.isEmpty() && elapsed.elapsed() >= kProgressDelayMs) {
            dialog = std::make_unique<QProgressDialog>(progress, tr("Cancel"), 0, 0, m_window);
            dialog->setWindowTitle(tr("Waiting for %1").arg(name));
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->setMinimumDuration(0);
            connect(dialog.get(), &QProgressDialog::canceled, this, [&] {
                cancelled = true;
                dialog->setLabelText(tr("Cancelling the exchange with %1...").arg(name));
                if (cancel)
                    cancel();
            });
            dialog->show();
        }
        // Before the dialog shows, nothing the user does may start another command.
        const auto flags = dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
    if (cancelled)
        throw AutomationError(ErrorNumber::Fail, name, tr("Cancelled by the user"));
    if (tracked)
        noteOutcome(outcome->failure);
    if (outcome->failure)
        std::rethrow_exception(outcome->failure);
}

void ObservedInstrument::noteOutcome(const std::exception_ptr &failure) {
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
