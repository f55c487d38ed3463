#pragma once

#include "automation/Export.h"
#include "instruments/discovery/DiscoveryCandidate.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>

namespace ixo {

// Finds VXI-11 instruments by asking portmappers over UDP which TCP port the core channel
// (program 0x0607AF, version 1) has: one GETPORT call to each address, broadcast addresses
// included, answered by every instrument that has one. The call goes out again once, halfway
// through, since datagrams may be lost.
class IXO_EXPORT Vxi11Search : public QObject {
    Q_OBJECT

public:
    explicit Vxi11Search(QObject *parent = nullptr);
    ~Vxi11Search() override;

    // Empty addresses means every interface's broadcast address and 127.0.0.1.
    void start(const QList<QHostAddress> &addresses, quint16 portmapperPort, int timeoutMs);
    void stop();
    QString errorString() const { return m_error; }

    // The broadcast address of every IPv4 interface that is up, and loopback.
    static QList<QHostAddress> defaultAddresses();
    // The GETPORT call for the core channel over TCP.
    static QByteArray getPortCall(quint32 xid);

signals:
    void found(const ixo::DiscoveryCandidate &candidate);

private:
    void send();
    void receive();

    QUdpSocket m_socket;
    QTimer m_resend;
    QList<QHostAddress> m_addresses;
    quint16 m_port = 111;
    quint32 m_xid = 0;
    QSet<QString> m_seen;
    QString m_error;
};

} // namespace ixo
