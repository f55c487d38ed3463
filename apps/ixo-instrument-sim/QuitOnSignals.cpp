#include "QuitOnSignals.h"

#include <QCoreApplication>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe from the handler to the event loop: only a write is safe in a signal handler.
int pipeEnds[2] = {-1, -1};

} // namespace

QuitOnSignals::QuitOnSignals(std::initializer_list<int> signalNumbers) {
    if (pipeEnds[0] >= 0 || ::pipe(pipeEnds) != 0)
        return;
    for (const int end : pipeEnds)
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    ::fcntl(pipeEnds[1], F_SETFL, O_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [] {
        char signalled = 0;
        if (::read(pipeEnds[0], &signalled, 1) == 1)
            QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = &QuitOnSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : signalNumbers) {
        if (::sigaction(signalNumber, &action, nullptr) == 0)
            m_signals.append(signalNumber);
    }
}

QuitOnSignals::~QuitOnSignals() {
    for (const int signalNumber : std::as_const(m_signals))
        std::signal(signalNumber, SIG_DFL);
    if (!m_notifier)
        return;
    m_notifier.reset();
    for (int &end : pipeEnds) {
        ::close(end);
        end = -1;
    }
}

void QuitOnSignals::handle(int) {
    const char signalled = 1;
    [[maybe_unused]] const auto written = ::write(pipeEnds[1], &signalled, 1);
}
