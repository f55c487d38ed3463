#pragma once

#include "AutomationAssert.h"
#include "instruments/ScpiInstrument.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>

namespace ixo::test {

struct CancelOutcome {
    int number = 0;
    qint64 elapsedMs = 0;
};

// Runs prepare, then exchange, on a thread of its own (the one that owns the connection) and
// cancels the client from this one until the exchange ends, giving up after giveUpMs. A cancel
// before the connection is open does nothing, so it is repeated.
inline CancelOutcome cancelWhileWaiting(ScpiInstrument &client,
                                        const std::function<void()> &exchange,
                                        const std::function<void()> &prepare = {},
                                        qint64 giveUpMs = 10000) {
    std::atomic<int> number = 0;
    std::atomic<bool> prepared = false;
    std::atomic<bool> done = false;
    QElapsedTimer elapsed;
    // A QThread, since Qt's serial port wants one.
    std::unique_ptr<QThread> worker(QThread::create([&] {
        if (prepare)
            prepare();
        elapsed.start();
        prepared = true;
        number = errorOf(exchange);
        done = true;
    }));
    worker->start();
    while (!done) {
        QThread::msleep(100);
        if (prepared && elapsed.elapsed() > giveUpMs)
            break;
        if (prepared)
            client.cancel();
    }
    worker->wait();
    return {number.load(), elapsed.elapsed()};
}

} // namespace ixo::test
