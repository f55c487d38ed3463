#pragma once

#include "instruments/discovery/DiscoveredInstrument.h"

#include <QHostAddress>
#include <QList>
#include <QObject>

namespace ixo {

// Looks for instruments without blocking the event loop: LXI instruments by a VXI-11
// portmapper broadcast and by DNS-SD over multicast DNS, and USBTMC devices in sysfs. Each
// instrument found is asked *IDN? and reported once, under its most capable resource.
class InstrumentDiscovery : public QObject {
    Q_OBJECT

public:
    struct Options {
        int timeoutMs = 2000;
        bool vxi11 = true;
        bool mdns = true;
        bool usbtmc = true;
        bool askIdentity = true;
        // Where the portmapper broadcast goes; empty means every interface's broadcast address
        // and loopback.
        QList<QHostAddress> broadcastAddresses;
        quint16 portmapperPort = 111;
        quint16 mdnsPort = 5353;
        // Empty means the system's.
        QString sysfsRoot;
        QString devRoot;
    };

    explicit InstrumentDiscovery(QObject *parent = nullptr);
    ~InstrumentDiscovery() override;

    void start(const Options &options);
    void stop();
    bool isRunning() const;
    QList<DiscoveredInstrument> instruments() const;

signals:
    void found(const ixo::DiscoveredInstrument &instrument);
    void progress(int elapsedMs, int timeoutMs);
    void finished();
};

} // namespace ixo
