#pragma once

#include "automation/Export.h"
#include "desktop/ExchangeProgress.h"
#include "support/CancellableInstrument.h"
#include "support/SetupInterface.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <optional>

class QWidget;

namespace ixo {

// Relays every call to the connected instrument on a thread of its own, the only one that talks
// to the instrument, while the window goes on drawing itself; a capture or restore that takes
// longer than kProgressDelayMs shows a progress dialog (an ExchangeProgress) whose Cancel ends
// the exchange of an instrument that can be cancelled. It tells when the instrument's setup may
// have changed, so that views of its settings can be read again. The instrument behind it can be
// switched or taken away at run time; without one every call fails with notConnectedText(). An
// exchange that fails because the connection broke is reported, and so is the next one that gets
// through.
class IXO_EXPORT InstrumentRelay : public QObject, public SetupInterface {
    Q_OBJECT

public:
    static constexpr int kProgressDelayMs = ExchangeProgress::kDelayMs;

    // No instrument leaves it disconnected.
    explicit InstrumentRelay(SetupInterfaceRef instrument, QObject *parent = nullptr);
    ~InstrumentRelay() override;

    // The text of the error every call raises while no instrument is connected.
    static QString notConnectedText();
    // Whether an error number means that the connection itself failed.
    static bool isConnectionError(std::int32_t number);

    // The instrument's resource, or a name for one that has none.
    QString name() const { return m_name; }
    bool isConnected() const { return m_instrument != nullptr; }
    // Whether the last exchange failed because the connection broke.
    bool isConnectionLost() const { return m_lost; }
    // The window over which the progress dialog stands.
    void setWindow(QWidget *window) { m_window = window; }
    // Talks to another instrument from now on (none disconnects); the one before is let go on
    // the instrument's thread, where its connection was made.
    void setInstrument(SetupInterfaceRef instrument);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    // The connected instrument for callers on other threads, such as a bench capturing every
    // instrument at once: each call runs on the instrument's thread while the caller waits,
    // without progress dialog or cancel. Raises notConnectedText() while none is connected;
    // must not outlive the relay.
    SetupInterfaceRef forOtherThreads();

    // Ends the exchange in progress, if the instrument can and is still connected; safe from
    // any thread.
    void cancelExchange() const;

    // Runs work on the instrument's thread and returns its result or raises its error.
    template <typename Work> auto run(Work &&work, const QString &progress = {}) {
        return runOnThread(
            std::forward<Work>(work), progress, [this] { cancelExchange(); }, true);
    }
    // Runs work for an instrument not yet connected on the instrument's thread, where its
    // connection is then made; its outcome says nothing about the connected one.
    template <typename Work>
    auto runApart(Work &&work, const QString &progress, std::function<void()> cancel) {
        return runOnThread(std::forward<Work>(work), progress, std::move(cancel), false);
    }

signals:
    void setupChanged();
    // The instrument was switched or taken away.
    void instrumentChanged();
    // An exchange failed because the connection broke; the next call opens it anew.
    void connectionLost(const QString &description);
    void connectionRestored();

private:
    template <typename Work>
    auto runOnThread(Work &&work, const QString &progress, std::function<void()> cancel,
                     bool tracked) {
        using Result = decltype(work());
        if constexpr (std::is_void_v<Result>) {
            wait(std::function<void()>(std::forward<Work>(work)), progress, cancel, tracked);
        } else {
            std::optional<Result> result;
            wait([&] { result.emplace(work()); }, progress, cancel, tracked);
            return std::move(*result);
        }
    }
    // Waits for work without taking user input, or behind the modal progress dialog once
    // kProgressDelayMs have passed (with a progress text). Tracked work tells whether the
    // connection broke or came back.
    void wait(const std::function<void()> &work, const QString &progress,
              const std::function<void()> &cancel, bool tracked);
    void releaseInstrument();
    void takeInstrument(SetupInterfaceRef instrument);
    void noteOutcome(const std::exception_ptr &failure);
    // The instrument for one call, kept for the call's length; raises while disconnected.
    SetupInterfaceRef connected() const;

    SetupInterfaceRef m_instrument;
    QString m_name;
    // Weak, so that only this relay's own reference decides where the instrument is let go.
    std::weak_ptr<CancellableInstrument> m_cancellable;
    QPointer<QWidget> m_window;
    bool m_lost = false;
    QThreadPool m_thread;
};

} // namespace ixo
