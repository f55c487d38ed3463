#pragma once

#include "automation/Export.h"
#include "instruments/discovery/DiscoveredInstrument.h"
#include "instruments/discovery/DiscoveryCandidate.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTimer>
#include <memory>
#include <utility>

class QThreadPool;

namespace ixo {

class MdnsBrowser;
class Vxi11Search;

// Looks for instruments without blocking the event loop: LXI instruments by a VXI-11
// portmapper broadcast and by DNS-SD over multicast DNS, and USBTMC devices in sysfs. Each
// instrument found is asked *IDN? and reported once, under its most capable resource.
//
// The searches listen for timeoutMs; *IDN? is asked on worker threads as soon as a resource
// turns up. When the time is over and the last answer is in, every instrument is reported
// with found(), then finished() follows. Resources of one address whose *IDN? answers are the
// same are one instrument: HiSLIP is kept over VXI-11, VXI-11 over a raw socket.
class IXO_EXPORT InstrumentDiscovery : public QObject {
    Q_OBJECT

public:
    using Endpoint = std::pair<QHostAddress, quint16>;

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
        // Whether mDNS queries go to the multicast group, and on which interface (every one
        // that can multicast when empty).
        bool mdnsMulticast = true;
        QString multicastInterface;
        // mDNS responders asked directly, by unicast.
        QList<Endpoint> mdnsTargets;
        // The bound on each *IDN? exchange.
        int identityTimeoutMs = 1500;
    };

    explicit InstrumentDiscovery(QObject *parent = nullptr);
    ~InstrumentDiscovery() override;

    void start(const Options &options);
    // Ends a search early: what was not reported yet is dropped, and finished() follows.
    void stop();
    bool isRunning() const;
    QList<DiscoveredInstrument> instruments() const;
    // Why a search mechanism could not run (a socket it could not open or send on), if any.
    QStringList problems() const { return m_problems; }

    // Of the resources of one instrument, the most capable.
    static int capability(const QString &resource);

signals:
    void found(const ixo::DiscoveredInstrument &instrument);
    void progress(int elapsedMs, int timeoutMs);
    void finished();

private:
    struct Result {
        DiscoveryCandidate candidate;
        QString identity;
        QString problem;
        bool answered = false;
    };

    void consider(const DiscoveryCandidate &candidate);
    void answered(quint64 generation, qsizetype index, const QString &identity,
                  const QString &problem);
    void tick();
    void endWindow();
    void finishIfDone();
    void report();

    Options m_options;
    std::unique_ptr<Vxi11Search> m_vxi11;
    std::unique_ptr<MdnsBrowser> m_mdns;
    std::unique_ptr<QThreadPool> m_pool;
    QTimer m_ticker;
    QElapsedTimer m_elapsed;
    QList<Result> m_results;
    QList<DiscoveredInstrument> m_instruments;
    QStringList m_problems;
    qsizetype m_pending = 0;
    quint64 m_generation = 0;
    bool m_running = false;
    bool m_windowOpen = false;
};

} // namespace ixo
