#pragma once

#include "automation/Export.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

class QProgressDialog;
class QWidget;

namespace ixo {

// Keeps the window in the user's hands while it waits for instruments answering on other
// threads: at first nothing the user does may start another command; once the wait has lasted
// kDelayMs, a modal progress dialog says what is happening, and its Cancel ends the exchanges in
// progress. A wait begun while another is open on the window's thread, such as each exchange of
// a bench restore, shows in the open one's dialog and ends with its Cancel.
class IXO_EXPORT ExchangeProgress : public QObject {
    Q_OBJECT

public:
    static constexpr int kDelayMs = 500;

    // title and text show in the dialog (no text shows none); cancel ends the exchanges in
    // progress, and cancelling then says so in place of text.
    ExchangeProgress(QWidget *window, QString title, QString text, QString cancelling,
                     std::function<void()> cancel);
    ~ExchangeProgress() override;
    ExchangeProgress(const ExchangeProgress &) = delete;
    ExchangeProgress &operator=(const ExchangeProgress &) = delete;

    // The innermost wait open on the window's thread, or none.
    static ExchangeProgress *open();
    // The error of an exchange the user cancelled.
    [[noreturn]] static void throwCancelled(const QString &source);

    void setText(const QString &text);
    // Safe from any thread.
    bool isCancelled() const { return m_cancelled; }
    // Lets events through until done is set, from the window's thread only.
    void waitUntil(const std::atomic<bool> &done);

private:
    void showDialog();
    void cancel();

    QPointer<QWidget> m_window;
    QString m_title;
    QString m_text;
    QString m_cancelling;
    std::function<void()> m_cancel;
    ExchangeProgress *m_outer;
    QElapsedTimer m_elapsed;
    std::unique_ptr<QProgressDialog> m_dialog;
    std::atomic<bool> m_cancelled = false;
};

} // namespace ixo
