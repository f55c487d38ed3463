#pragma once

#include "support/SetupInterface.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <functional>
#include <optional>

class QWidget;

namespace ixo {

// Passes every call on to the connected instrument and tells when its setup may have changed,
// so that views of its settings can be read again. All calls run on one thread of their own,
// the only one that talks to the instrument, while the window goes on drawing itself; a
// capture or restore that takes longer than kProgressDelayMs shows a progress dialog whose
// Cancel ends the exchange.
class ObservedInstrument : public QObject, public SetupInterface {
    Q_OBJECT

public:
    static constexpr int kProgressDelayMs = 500;

    // name: what the progress dialog calls the instrument; cancel: ends an exchange in
    // progress from another thread (may be empty).
    ObservedInstrument(SetupInterfaceRef instrument, QString name,
                       std::function<void()> cancel = {}, QObject *parent = nullptr);
    ~ObservedInstrument() override;

    QString name() const { return m_name; }
    // The window over which the progress dialog stands.
    void setWindow(QWidget *window) { m_window = window; }
    // Called before each restore with the state to restore; it refuses by raising an error.
    void setRestoreCheck(std::function<void(const QVariant &state)> check);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    // Runs work on the instrument's thread and returns its result or raises its error.
    template <typename Work> auto run(Work &&work, const QString &progress = {}) {
        using Result = decltype(work());
        if constexpr (std::is_void_v<Result>) {
            wait(std::function<void()>(std::forward<Work>(work)), progress);
        } else {
            std::optional<Result> result;
            wait([&] { result.emplace(work()); }, progress);
            return std::move(*result);
        }
    }

signals:
    void setupChanged();

private:
    // Waits for work without taking user input, or behind the modal progress dialog once
    // kProgressDelayMs have passed (with a progress text).
    void wait(const std::function<void()> &work, const QString &progress);

    SetupInterfaceRef m_instrument;
    QString m_name;
    std::function<void()> m_cancel;
    std::function<void(const QVariant &)> m_restoreCheck;
    QPointer<QWidget> m_window;
    QThreadPool m_thread;
};

} // namespace ixo
