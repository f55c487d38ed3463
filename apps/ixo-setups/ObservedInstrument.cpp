#include "ObservedInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <memory>

namespace ixo {

namespace {

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
    // One thread that lives as long as the instrument: a socket belongs to its thread.
    m_thread.setMaxThreadCount(1);
    m_thread.setExpiryTimeout(-1);
}

ObservedInstrument::~ObservedInstrument() {
    m_thread.waitForDone();
}

void ObservedInstrument::setRestoreCheck(std::function<void(const QVariant &)> check) {
    m_restoreCheck = std::move(check);
}

QString ObservedInstrument::Model() {
    return run([this] { return m_instrument->Model(); });
}

QVariant ObservedInstrument::CaptureState() {
    return run([this] { return m_instrument->CaptureState(); },
               tr("Capturing the setup of %1...").arg(m_name));
}

void ObservedInstrument::RestoreState(const QVariant &state) {
    if (m_restoreCheck)
        m_restoreCheck(state);
    try {
        run([this, &state] { m_instrument->RestoreState(state); },
            tr("Restoring a setup to %1...").arg(m_name));
    } catch (const AutomationError &) {
        // Part of the setup may have been sent.
        emit setupChanged();
        throw;
    }
    emit setupChanged();
}

QString ObservedInstrument::Version() {
    return run([this] { return m_instrument->Version(); });
}

ObjectRef ObservedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return run([&] { return m_instrument->ImportLegacyFile(fileName, progId); });
}

void ObservedInstrument::wait(const std::function<void()> &work, const QString &progress) {
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
    while (!outcome->done) {
        if (!dialog && !progress.isEmpty() && elapsed.elapsed() >= kProgressDelayMs) {
            dialog = std::make_unique<QProgressDialog>(progress, tr("Cancel"), 0, 0, m_window);
            dialog->setWindowTitle(tr("Waiting for %1").arg(m_name));
            dialog->setWindowModality(Qt::ApplicationModal);
            dialog->setMinimumDuration(0);
            connect(dialog.get(), &QProgressDialog::canceled, this, [&] {
                cancelled = true;
                dialog->setLabelText(tr("Cancelling the exchange with %1...").arg(m_name));
                if (m_cancel)
                    m_cancel();
            });
            dialog->show();
        }
        // Before the dialog shows, nothing the user does may start another command.
        const auto flags = dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
    if (cancelled)
        throw AutomationError(ErrorNumber::Fail, m_name, tr("Cancelled by the user"));
    if (outcome->failure)
        std::rethrow_exception(outcome->failure);
}

} // namespace ixo
