#pragma once

#include <QList>
#include <QSocketNotifier>
#include <initializer_list>
#include <memory>

// Quits the application's event loop on the given signals (SIGTERM, SIGINT), so that the program
// ends as on any other quit: its servers close and it exits with 0. One at a time, since a
// signal handler has only static state to write to.
class QuitOnSignals {
public:
    explicit QuitOnSignals(std::initializer_list<int> signalNumbers);
    ~QuitOnSignals();
    QuitOnSignals(const QuitOnSignals &) = delete;
    QuitOnSignals &operator=(const QuitOnSignals &) = delete;

private:
    static void handle(int signalNumber);

    QList<int> m_signals;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
