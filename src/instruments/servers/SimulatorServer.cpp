#include "instruments/servers/SimulatorServer.h"

#include "instruments/simulator/SimulatedDevice.h"

#include <QTcpSocket>
#include <QTimer>

namespace ixo {

SimulatorServer::SimulatorServer(std::shared_ptr<SimulatedDevice> device, QObject *parent)
    : QObject(parent)
    , m_device(std::move(device)) {
    connect(&m_server, &QTcpServer::newConnection, this, &SimulatorServer::accept);
}

SimulatorServer::~SimulatorServer() {
    m_server.close();
    // The sockets are the listening server's children and go with it; they must not call back.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool SimulatorServer::listen(const QHostAddress &address, quint16 port) {
    return m_server.listen(address, port);
}

void SimulatorServer::accept() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_connections.emplace(socket, Connection{});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { receive(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.erase(socket);
            socket->deleteLater();
        });
    }
}

void SimulatorServer::receive(QTcpSocket *socket) {
    const auto it = m_connections.find(socket);
    if (it == m_connections.end())
        return;
    it->second.input.append(socket->readAll());
    serve(socket);
}

void SimulatorServer::serve(QTcpSocket *socket) {
    auto it = m_connections.find(socket);
    while (it != m_connections.end() && !it->second.waiting) {
        Connection &connection = it->second;
        const qsizetype length = SimulatedDevice::messageLength(connection.input);
        if (length == 0)
            return;
        if (length < 0) {
            m_device->queueError(QStringLiteral("-363,\"Input buffer overrun\""));
            connection.input.clear();
            return;
        }
        const SimulatedDevice::Reply reply =
            m_device->process(QByteArrayView(connection.input).first(length));
        connection.input.remove(0, length);
        if (reply.bytes.isEmpty())
            continue;
        if (reply.delayMs <= 0) {
            transmit(socket, reply.bytes, reply.dropHalfway);
            it = m_connections.find(socket);
            continue;
        }
        // Later messages wait behind the late answer, as on a busy instrument.
        connection.waiting = true;
        QTimer::singleShot(reply.delayMs, socket, [this, socket, reply] {
            const auto found = m_connections.find(socket);
            if (found == m_connections.end())
                return;
            found->second.waiting = false;
            transmit(socket, reply.bytes, reply.dropHalfway);
            serve(socket);
        });
        return;
    }
}

void SimulatorServer::transmit(QTcpSocket *socket, const QByteArray &bytes, bool dropHalfway) {
    if (!dropHalfway) {
        socket->write(bytes);
        return;
    }
    socket->write(bytes.left(bytes.size() / 2));
    socket->flush();
    // Nothing more from this connection; the client sees it close mid-answer.
    m_connections.erase(socket);
    socket->disconnectFromHost();
}

} // namespace ixo
