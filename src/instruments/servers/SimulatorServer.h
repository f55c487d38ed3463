#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <memory>
#include <unordered_map>

class QTcpSocket;

namespace ixo {

class SimulatedDevice;

// Serves a SimulatedDevice as a raw SCPI socket. All connections share the one device, as they
// would share a real instrument; answers go out in order, late ones with their delay.
class IXO_EXPORT SimulatorServer : public QObject {
    Q_OBJECT

public:
    explicit SimulatorServer(std::shared_ptr<SimulatedDevice> device, QObject *parent = nullptr);
    ~SimulatorServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }
    SimulatedDevice &device() const { return *m_device; }

private:
    struct Connection {
        QByteArray input;
        bool waiting = false;
    };

    void accept();
    void receive(QTcpSocket *socket);
    void serve(QTcpSocket *socket);
    void transmit(QTcpSocket *socket, const QByteArray &bytes, bool dropHalfway);

    std::shared_ptr<SimulatedDevice> m_device;
    QTcpServer m_server;
    std::unordered_map<QTcpSocket *, Connection> m_connections;
};

} // namespace ixo
