#pragma once

#include "automation/Export.h"
#include "instruments/protocols/RpcRecordReader.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <atomic>
#include <memory>
#include <unordered_map>
#include <vector>

class QTcpSocket;
class QTimer;

namespace ixo {

class Portmapper;
class SimulatedDevice;

// Serves a SimulatedDevice as a VXI-11 instrument (device inst0): the core channel on a port of
// its own, registered with a portmapper. Further devices, as on a rack behind one address, are
// inst1, inst2 ...; while there is only one, every inst name reaches it. A read waits for the
// answer up to the client's io_timeout and then reports an I/O timeout, keeping a late answer
// for a later read unless the client clears the device. Honours each device's faults and the
// protocol faults of VXI-11.
class IXO_EXPORT Vxi11Server : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 kDefaultMaxReceiveSize = 1024 * 1024;
    // A write chunk and its call header; clients may send more than maxRecvSize.
    static constexpr qsizetype kMaxCall = qsizetype(5) * 1024 * 1024;

    explicit Vxi11Server(std::shared_ptr<SimulatedDevice> device, QObject *parent = nullptr);
    ~Vxi11Server() override;

    // The device name a client links to for the device added index-th (the first is 0).
    static QString deviceName(qsizetype index) { return QStringLiteral("inst%1").arg(index); }

    // Serves another device under the next device name.
    void addDevice(std::shared_ptr<SimulatedDevice> device);

    // The core channel on any free port, and the portmapper on portmapperPort (0: any free).
    bool listen(const QHostAddress &address, quint16 portmapperPort);
    quint16 port() const { return m_core.serverPort(); }
    quint16 portmapperPort() const;
    QString errorString() const { return m_error; }

    // What create_link reports as the largest write chunk, and the largest read chunk sent.
    void setMaxReceiveSize(quint32 bytes) { m_maxReceiveSize = bytes; }
    void setMaxReadChunk(quint32 bytes) { m_maxReadChunk = bytes; }
    // How many device_clear calls came in, for tests to see that a client cleared.
    int clearCount() const { return m_clears.load(); }

private:
    struct Connection {
        RpcRecordReader reader{kMaxCall};
        QByteArray backlog;
        bool busy = false;
        qint32 link = 0;
        // The device the link is to.
        SimulatedDevice *device = nullptr;
        QByteArray input;
        QByteArray output;
        qsizetype outputOffset = 0;
        QDeadlineTimer outputReady;
        bool dropHalfway = false;
        QTimer *timer = nullptr;
    };

    void accept();
    void serve(QTcpSocket *socket);
    // The reply to a call; empty when it comes later (a waiting read) or never.
    QByteArray answer(QTcpSocket *socket, Connection &connection, QByteArrayView record);
    QByteArray createLink(Connection &connection, QByteArrayView arguments);
    QByteArray deviceWrite(Connection &connection, QByteArrayView arguments);
    QByteArray deviceRead(QTcpSocket *socket, Connection &connection, quint32 xid,
                          QByteArrayView arguments);
    void runMessages(Connection &connection, bool end);
    void sendRead(QTcpSocket *socket, quint32 xid, quint32 requestSize);
    void sendReply(QTcpSocket *socket, const Connection &connection, quint32 xid,
                   QByteArray results);
    Connection *find(QTcpSocket *socket);
    SimulatedDevice *deviceNamed(const QString &name) const;

    std::vector<std::shared_ptr<SimulatedDevice>> m_devices;
    QTcpServer m_core;
    std::unique_ptr<Portmapper> m_portmapper;
    QString m_error;
    std::unordered_map<QTcpSocket *, Connection> m_connections;
    quint32 m_maxReceiveSize = kDefaultMaxReceiveSize;
    quint32 m_maxReadChunk = kDefaultMaxReceiveSize;
    qint32 m_nextLink = 1;
    std::atomic<int> m_clears{0};
};

} // namespace ixo
