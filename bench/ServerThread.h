#pragma once

#include <QHostAddress>
#include <QObject>
#include <QThread>
#include <memory>
#include <utility>
#include <vector>

namespace ixo::bench {

// Runs servers on a thread of their own, as a separate instrument would be: the client's
// blocking waits never hold them up, and several such threads serve several instruments in
// parallel.
class ServerThread {
public:
    ServerThread();
    ~ServerThread();
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

    // Creates a server there (make returns it and the loopback port it listens on) and returns
    // its port.
    template <typename Make> quint16 serve(Make make) {
        quint16 port = 0;
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                auto [object, listening] = make();
                port = listening;
                m_objects.push_back(std::move(object));
            },
            Qt::BlockingQueuedConnection);
        return port;
    }

    // Serves a device with Server (any of the simulator's servers) on a free loopback port.
    template <typename Server, typename Device> quint16 serveDevice(const Device &device) {
        return serve([&] {
            auto server = std::make_unique<Server>(device);
            server->listen(QHostAddress::LocalHost, 0);
            const quint16 port = server->port();
            return std::pair<std::unique_ptr<QObject>, quint16>{std::move(server), port};
        });
    }

private:
    QThread m_thread;
    QObject m_context;
    std::vector<std::unique_ptr<QObject>> m_objects;
};

} // namespace ixo::bench
