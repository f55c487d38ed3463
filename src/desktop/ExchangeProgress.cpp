#include "desktop/ExchangeProgress.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

namespace ixo {

namespace {

// Only the window's thread waits, so one chain of open waits is enough.
ExchangeProgress *openWait = nullptr;

} // namespace

ExchangeProgress::ExchangeProgress(QWidget *window, QString title, QString text, QString cancelling,
                                   std::function<void()> cancel)
    : m_window(window)
    , m_title(std::move(title))
    , m_text(std::move(text))
    , m_cancelling(std::move(cancelling))
    , m_cancel(std::move(cancel))
    , m_outer(std::exchange(openWait, this)) {
    m_elapsed.start();
}

ExchangeProgress::~ExchangeProgress() {
    openWait = m_outer;
}

ExchangeProgress *ExchangeProgress::open() {
    return openWait;
}

void ExchangeProgress::throwCancelled(const QString &source) {
    throw AutomationError(ErrorNumber::Fail, source, tr("Cancelled by the user"));
}

void ExchangeProgress::setText(const QString &text) {
    m_text = text;
    if (m_dialog && !m_cancelled)
        m_dialog->setLabelText(text);
}

void ExchangeProgress::waitUntil(const std::atomic<bool> &done) {
    // Wakes the loop below often enough to notice the end of the work.
    QTimer tick;
    tick.start(10);
    while (!done) {
        if (!m_dialog && !m_text.isEmpty() && m_elapsed.elapsed() >= kDelayMs)
            showDialog();
        // Before the dialog shows, nothing the user does may start another command.
        const auto flags = m_dialog ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
}

void ExchangeProgress::showDialog() {
    m_dialog = std::make_unique<QProgressDialog>(m_text, tr("Cancel"), 0, 0, m_window);
    m_dialog->setWindowTitle(m_title);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    m_dialog->setMinimumDuration(0);
    connect(m_dialog.get(), &QProgressDialog::canceled, this, &ExchangeProgress::cancel);
    m_dialog->show();
}

void ExchangeProgress::cancel() {
    if (m_cancelled.exchange(true))
        return;
    m_dialog->setLabelText(m_cancelling);
    if (m_cancel)
        m_cancel();
}

} // namespace ixo
