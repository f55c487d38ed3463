#pragma once

#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QHostAddress>
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace ixo::test {

// The port a client is given: a VXI-11 client starts at the portmapper.
template <typename Server> quint16 clientPort(const Server &server) {
    return server.port();
}
inline quint16 clientPort(const Vxi11Server &server) {
    return server.portmapperPort();
}

// A SimulatedDevice served on a loopback port by a thread of its own, as a separate instrument
// would be: the client's blocking waits must not starve it. Server is any of the simulator's
// servers: constructed on the device, then listen(address, port) and the port a client needs.
template <typename Server> class ServedDevice {
public:
    // configure, when given, sets the server up before it listens.
    explicit ServedDevice(
        std::shared_ptr<SimulatedDevice> served = std::make_shared<SimulatedDevice>(),
        const std::function<void(Server &)> &configure = {})
        : device(std::move(served)) {
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [this, &configure] {
                m_server = std::make_unique<Server>(device);
                if (configure)
                    configure(*m_server);
                if (m_server->listen(QHostAddress::LocalHost, 0))
                    m_port = clientPort(*m_server);
            },
            Qt::BlockingQueuedConnection);
    }
    ~ServedDevice() {
        QMetaObject::invokeMethod(
            &m_context, [this] { m_server.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ServedDevice(const ServedDevice &) = delete;
    ServedDevice &operator=(const ServedDevice &) = delete;

    // 0 when the server could not listen.
    quint16 port() const { return m_port; }
    // Its fault methods and counters are safe to use from the test's thread.
    Server &server() const { return *m_server; }

    const std::shared_ptr<SimulatedDevice> device;

private:
    QThread m_thread;
    QObject m_context;
    std::unique_ptr<Server> m_server;
    quint16 m_port = 0;
};

} // namespace ixo::test
