#pragma once

#include "automation/Export.h"
#include "instruments/protocols/DnsMessage.h"

#include <QHostAddress>
#include <QList>
#include <QNetworkInterface>
#include <QObject>
#include <QUdpSocket>

namespace ixo {

// Answers multicast DNS questions (RFC 6762) for the DNS-SD services (RFC 6763) the simulator
// serves: PTR for each service type, SRV and TXT for its instances, A for its host. It answers
// unicast queries on its own port, and multicast ones when it can join the group on the
// interface it serves. It never announces on its own.
class IXO_EXPORT MdnsResponder : public QObject {
    Q_OBJECT

public:
    struct Service {
        // Without the domain, e.g. "_scpi-raw._tcp".
        QString type;
        quint16 port = 0;
        QList<QByteArray> texts;
        // The instance's name when several instruments share the host; empty for the
        // responder's.
        QString instance = {};
    };

    // The services' instances are called instanceName unless they have names of their own;
    // hostName is a single label.
    MdnsResponder(QString instanceName, QString hostName, QList<Service> services,
                  QObject *parent = nullptr);
    ~MdnsResponder() override;

    // Unicast on address and port (0: any free one), sharing the port with other responders.
    // false when even that fails; not joining the group only leaves multicast unanswered.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return m_unicast.localPort(); }
    QString errorString() const { return m_error; }
    bool answersMulticast() const { return m_multicastJoined; }
    // Why multicast questions go unanswered, if they do.
    QString multicastProblem() const { return m_multicastProblem; }

    // Without additional records a browser has to ask for each instance's service and address,
    // as with responders that leave them out.
    void setAdditionalRecords(bool on) { m_additionalRecords = on; }

    QString hostName() const { return m_hostName + QStringLiteral(".local"); }
    QString instanceName(const Service &service) const;
    // The response to a query, for the host at address; empty (no records) when nothing in it
    // is ours. A legacy query (not from the mDNS port) gets its id and questions back and short
    // lifetimes.
    DnsMessage answer(const DnsMessage &query, const QHostAddress &address, bool legacy) const;

private:
    void receive(QUdpSocket &socket);
    void joinGroup(const QHostAddress &address);
    void addService(DnsMessage &reply, const Service &service, quint32 ttl, bool asAnswer,
                    quint16 type) const;
    DnsMessage::Record addressRecord(const QHostAddress &address, quint32 ttl) const;

    QString m_instanceName;
    QString m_hostName;
    QList<Service> m_services;
    QHostAddress m_address;
    QUdpSocket m_unicast;
    QUdpSocket m_multicast;
    QNetworkInterface m_interface;
    bool m_multicastJoined = false;
    bool m_additionalRecords = true;
    QString m_error;
    QString m_multicastProblem;
};

} // namespace ixo
