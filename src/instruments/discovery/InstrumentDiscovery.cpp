#include "instruments/discovery/InstrumentDiscovery.h"

#include "instruments/discovery/IdentityQuery.h"
#include "instruments/discovery/MdnsBrowser.h"
#include "instruments/discovery/UsbtmcSearch.h"
#include "instruments/discovery/Vxi11Search.h"
#include "instruments/transports/UsbtmcTransport.h"

#include <QMap>
#include <QThreadPool>

namespace ixo {

namespace {

constexpr int kTickMs = 100;
constexpr int kMaxWorkers = 8;

} // namespace

InstrumentDiscovery::InstrumentDiscovery(QObject *parent)
    : QObject(parent)
    , m_vxi11(std::make_unique<Vxi11Search>())
    , m_mdns(std::make_unique<MdnsBrowser>())
    , m_pool(std::make_unique<QThreadPool>()) {
    m_pool->setMaxThreadCount(kMaxWorkers);
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &InstrumentDiscovery::tick);
    connect(m_vxi11.get(), &Vxi11Search::found, this, &InstrumentDiscovery::consider);
    connect(m_mdns.get(), &MdnsBrowser::found, this, &InstrumentDiscovery::consider);
}

InstrumentDiscovery::~InstrumentDiscovery() {
    ++m_generation;
    // Every *IDN? is bounded by its timeout; their answers to this object are then dropped.
    m_pool->waitForDone();
}

int InstrumentDiscovery::capability(const QString &resource) {
    if (resource.contains(QLatin1String("::hislip"), Qt::CaseInsensitive))
        return 3;
    if (resource.endsWith(QLatin1String("::SOCKET"), Qt::CaseInsensitive))
        return 1;
    return 2;
}

void InstrumentDiscovery::start(const Options &options) {
    if (m_running)
        stop();
    m_options = options;
    m_results.clear();
    m_instruments.clear();
    m_problems.clear();
    m_pending = 0;
    ++m_generation;
    m_running = true;
    m_windowOpen = true;
    m_elapsed.start();
    if (options.vxi11) {
        m_vxi11->start(options.broadcastAddresses, options.portmapperPort, options.timeoutMs);
        if (!m_vxi11->errorString().isEmpty())
            m_problems.append(QStringLiteral("VXI-11: ") + m_vxi11->errorString());
    }
    if (options.mdns) {
        MdnsBrowser::Options browse;
        browse.multicast = options.mdnsMulticast;
        browse.multicastInterface = options.multicastInterface;
        browse.mdnsPort = options.mdnsPort;
        browse.targets = options.mdnsTargets;
        m_mdns->start(browse, options.timeoutMs);
        if (!m_mdns->errorString().isEmpty())
            m_problems.append(QStringLiteral("mDNS: ") + m_mdns->errorString());
    }
    if (options.usbtmc) {
        for (const DiscoveryCandidate &candidate : UsbtmcSearch::candidates(
                 options.sysfsRoot.isEmpty() ? UsbtmcTransport::kSysfsRoot : options.sysfsRoot,
                 options.devRoot.isEmpty() ? UsbtmcTransport::kDevRoot : options.devRoot))
            consider(candidate);
    }
    m_ticker.start();
    emit progress(0, options.timeoutMs);
}

void InstrumentDiscovery::stop() {
    if (!m_running)
        return;
    ++m_generation;
    m_ticker.stop();
    m_windowOpen = false;
    m_vxi11->stop();
    m_mdns->stop();
    m_running = false;
    m_pending = 0;
    emit finished();
}

bool InstrumentDiscovery::isRunning() const {
    return m_running;
}

QList<DiscoveredInstrument> InstrumentDiscovery::instruments() const {
    return m_instruments;
}

void InstrumentDiscovery::consider(const DiscoveryCandidate &candidate) {
    if (!m_running)
        return;
    for (Result &result : m_results) {
        if (result.candidate.resource.compare(candidate.resource, Qt::CaseInsensitive) != 0)
            continue;
        // mDNS's _lxi names no portmapper; another answer for the same resource may.
        if (result.candidate.portmapperPort == 111 && candidate.portmapperPort != 111 &&
            !result.answered)
            result.candidate.portmapperPort = candidate.portmapperPort;
        return;
    }
    m_results.append({candidate, {}, {}, !m_options.askIdentity});
    if (!m_options.askIdentity)
        return;
    const qsizetype index = m_results.size() - 1;
    const quint64 generation = m_generation;
    const int timeoutMs = m_options.identityTimeoutMs;
    const QString sysfs = m_options.sysfsRoot;
    const QString dev = m_options.devRoot;
    ++m_pending;
    m_pool->start([this, candidate, index, generation, timeoutMs, sysfs, dev] {
        const IdentityQuery::Answer answer = IdentityQuery::ask(candidate, timeoutMs, sysfs, dev);
        QMetaObject::invokeMethod(
            this,
            [this, generation, index, answer] {
                answered(generation, index, answer.identity, answer.problem);
            },
            Qt::QueuedConnection);
    });
}

void InstrumentDiscovery::answered(quint64 generation, qsizetype index, const QString &identity,
                                   const QString &problem) {
    if (generation != m_generation || index >= m_results.size())
        return;
    Result &result = m_results[index];
    result.identity = identity;
    result.problem = problem;
    result.answered = true;
    --m_pending;
    finishIfDone();
}

void InstrumentDiscovery::tick() {
    const int elapsed = int(std::min<qint64>(m_elapsed.elapsed(), m_options.timeoutMs));
    emit progress(elapsed, m_options.timeoutMs);
    if (m_windowOpen && m_elapsed.elapsed() >= m_options.timeoutMs)
        endWindow();
}

void InstrumentDiscovery::endWindow() {
    m_windowOpen = false;
    m_ticker.stop();
    // The browser reports instances still without an address now.
    m_vxi11->stop();
    m_mdns->stop();
    finishIfDone();
}

void InstrumentDiscovery::finishIfDone() {
    if (m_windowOpen || m_pending > 0 || !m_running)
        return;
    m_running = false;
    report();
    emit finished();
}

void InstrumentDiscovery::report() {
    // One instrument per address and identity; without an identity, per resource.
    QMap<QString, qsizetype> best;
    QStringList order;
    for (qsizetype i = 0; i < m_results.size(); ++i) {
        const Result &result = m_results[i];
        const QString key = result.identity.isEmpty() || result.candidate.host.isEmpty()
                                ? result.candidate.resource.toLower()
                                : result.candidate.host + u'|' + result.identity;
        const auto it = best.find(key);
        if (it == best.end()) {
            best.insert(key, i);
            order.append(key);
        } else if (capability(result.candidate.resource) >
                   capability(m_results[*it].candidate.resource)) {
            *it = i;
        }
    }
    for (const QString &key : std::as_const(order)) {
        const Result &result = m_results[best.value(key)];
        const DiscoveredInstrument instrument{result.candidate.resource, result.identity,
                                              result.candidate.mechanism, result.problem};
        m_instruments.append(instrument);
        emit found(instrument);
    }
}

} // namespace ixo
