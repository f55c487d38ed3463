#pragma once

#include "instruments/simulator/SimulatedDevice.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace ixo::test {

// A pseudo-terminal pair standing in for a serial line or a USBTMC device node: the transport
// opens the terminal end, the test plays the instrument on the controlling end. The test keeps
// the terminal end open itself, in raw mode, so that bytes pass unchanged.
class PseudoTerminal {
public:
    PseudoTerminal() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_path = QString::fromLocal8Bit(::ptsname(m_master));
        m_terminal = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios raw{};
        ::tcgetattr(m_terminal, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_terminal, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal() {
        closeMaster();
        if (m_terminal >= 0)
            ::close(m_terminal);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0 && m_terminal >= 0; }
    QString path() const { return m_path; }
    int master() const { return m_master; }
    int terminal() const { return m_terminal; }
    void closeMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    // What the transport wrote: count bytes, or less when timeoutMs passes first.
    QByteArray take(qsizetype count, int timeoutMs = 2000) const {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        while (bytes.size() < count && clock.elapsed() < timeoutMs) {
            pollfd entry{m_master, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            char buffer[4096];
            const ssize_t got = ::read(m_master, buffer,
                                       static_cast<size_t>(std::min<qsizetype>(
                                           qsizetype(sizeof buffer), count - bytes.size())));
            if (got > 0)
                bytes.append(buffer, got);
        }
        return bytes;
    }
    void give(const QByteArray &bytes) const { sendAll(m_master, bytes, nullptr); }

    // Writes all of bytes unless stop is set first.
    static bool sendAll(int fd, QByteArrayView bytes, const std::atomic<bool> *stop) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            if (stop && *stop)
                return false;
            pollfd entry{fd, POLLOUT, 0};
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            const ssize_t written =
                ::write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
            if (written > 0)
                done += written;
            else if (errno != EAGAIN && errno != EINTR)
                return false;
        }
        return true;
    }

private:
    int m_master = -1;
    int m_terminal = -1;
    QString m_path;
};

// The simulated device answering on the controlling end of a pseudo-terminal, in a thread of
// its own as a separate instrument would. A dropped answer stops halfway: the line stays.
class PseudoTerminalResponder {
public:
    PseudoTerminalResponder(const PseudoTerminal &line, std::shared_ptr<SimulatedDevice> device)
        : m_fd(line.master())
        , m_device(std::move(device))
        , m_thread([this] { serve(); }) {}
    ~PseudoTerminalResponder() {
        m_stop = true;
        m_thread.join();
    }
    PseudoTerminalResponder(const PseudoTerminalResponder &) = delete;
    PseudoTerminalResponder &operator=(const PseudoTerminalResponder &) = delete;

private:
    void serve() {
        QByteArray input;
        while (!m_stop) {
            pollfd entry{m_fd, POLLIN, 0};
            if (::poll(&entry, 1, 20) <= 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                continue;
            input.append(buffer, got);
            qsizetype length;
            while ((length = SimulatedDevice::messageLength(input)) != 0) {
                if (length < 0) {
                    input.clear();
                    break;
                }
                const SimulatedDevice::Reply reply = m_device->process(input.first(length));
                input.remove(0, length);
                if (!waitOut(reply.delayMs))
                    continue;
                const QByteArrayView bytes(reply.bytes);
                PseudoTerminal::sendAll(
                    m_fd, reply.dropHalfway ? bytes.first(bytes.size() / 2) : bytes, &m_stop);
            }
        }
    }

    // A late answer is given up when the controller sends again first, as an instrument
    // interrupts a query whose answer was not read.
    bool waitOut(int delayMs) {
        QElapsedTimer clock;
        clock.start();
        while (!m_stop && clock.elapsed() < delayMs) {
            pollfd entry{m_fd, POLLIN, 0};
            if (::poll(&entry, 1, 20) > 0)
                return false;
        }
        return !m_stop;
    }

    int m_fd;
    std::shared_ptr<SimulatedDevice> m_device;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

} // namespace ixo::test
