#pragma once

#include "automation/Export.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QUdpSocket>
#include <map>
#include <tuple>

class QTcpSocket;

namespace ixo {

// A portmapper (RPC program 100000) answering GETPORT over TCP and UDP for the services
// registered with it, and rpcbind's GETADDR (versions 3 and 4), which some clients try first.
class IXO_EXPORT Portmapper : public QObject {
    Q_OBJECT

public:
    explicit Portmapper(QObject *parent = nullptr);
    ~Portmapper() override;

    // TCP and UDP on the same port; 0 picks one free for both.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_tcp.serverPort(); }
    // The broadcast address also answered on, null when none is needed or could be had.
    QHostAddress broadcastAddress() const { return m_broadcast.localAddress(); }
    QString errorString() const { return m_error; }
    void setPort(quint32 program, quint32 version, quint32 protocol, quint16 port);

private:
    void accept();
    void receiveDatagrams(QUdpSocket &socket);
    // Broadcasts to the served address's network reach only a socket bound to the broadcast
    // address (or to any address); one is opened beside the served address's.
    void listenForBroadcasts(const QHostAddress &address);
    // The reply record to a call record, empty when it is not worth one.
    QByteArray answer(QByteArrayView record, const QHostAddress &local);
    quint16 lookUp(quint32 program, quint32 version, quint32 protocol) const;

    QTcpServer m_tcp;
    QUdpSocket m_udp;
    QUdpSocket m_broadcast;
    QString m_error;
    std::map<std::tuple<quint32, quint32, quint32>, quint16> m_ports;
};

} // namespace ixo
