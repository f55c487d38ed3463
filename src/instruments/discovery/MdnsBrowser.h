#pragma once

#include "automation/Export.h"
#include "instruments/discovery/DiscoveryCandidate.h"
#include "instruments/protocols/DnsMessage.h"

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUdpSocket>
#include <utility>

namespace ixo {

// Browses DNS-SD services of instruments (_lxi, _scpi-raw, _hislip, _vxi-11 over TCP) with
// one-shot multicast DNS queries from an ordinary port, which responders answer by unicast,
// and by the same queries sent straight to given responders. Instances whose service, host or
// address the answers leave out are asked for them; each instance found becomes one resource.
class IXO_EXPORT MdnsBrowser : public QObject {
    Q_OBJECT

public:
    using Endpoint = std::pair<QHostAddress, quint16>;
    static const QHostAddress kGroup;
    static const QStringList kServiceTypes;

    struct Options {
        // The group, on port mdnsPort, on this interface (when empty: loopback and all that can
        // multicast).
        bool multicast = true;
        QString multicastInterface;
        quint16 mdnsPort = 5353;
        // Responders asked directly.
        QList<Endpoint> targets;
    };

    explicit MdnsBrowser(QObject *parent = nullptr);
    ~MdnsBrowser() override;

    void start(const Options &options, int timeoutMs);
    // Instances with a service but no address yet are reported at the address that answered.
    void stop();
    QString errorString() const { return m_error; }

    // The query for the instrument service types.
    static DnsMessage browseQuery();
    // The resource for an instance of a service type at an address and port; empty for a type
    // that is not an instrument's.
    static QString resourceFor(const QString &serviceType, const QString &address, quint16 port);

signals:
    void found(const ixo::DiscoveryCandidate &candidate);

private:
    struct Instance {
        QString serviceType;
        QString host;
        quint16 port = 0;
        bool hasService = false;
        Endpoint responder;
        int followUps = 0;
        bool reported = false;
    };

    void sendBrowse();
    void send(const DnsMessage &query, const Endpoint &to);
    void sendToAll(const DnsMessage &query);
    void receive();
    void take(const DnsMessage::Record &record, const Endpoint &from);
    void followUp();
    void report(Instance &instance, const QString &address);
    QString addressOf(const QString &host) const;

    Options m_options;
    QUdpSocket m_socket;
    QTimer m_resend;
    quint16 m_id = 0;
    QMap<QString, Instance> m_instances;
    // Host names in lower case, and their IPv4 addresses.
    QMap<QString, QHostAddress> m_addresses;
    QString m_error;
};

} // namespace ixo
