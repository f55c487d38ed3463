#include "instruments/discovery/InstrumentDiscovery.h"

#include <QTimer>

namespace ixo {

// Finds nothing: every search ends empty once its time is up.

InstrumentDiscovery::InstrumentDiscovery(QObject *parent)
    : QObject(parent) {}

InstrumentDiscovery::~InstrumentDiscovery() = default;

void InstrumentDiscovery::start(const Options &options) {
    stop();
    auto *timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("discoveryTimeout"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, timer, options] {
        timer->deleteLater();
        emit progress(options.timeoutMs, options.timeoutMs);
        emit finished();
    });
    timer->start(options.timeoutMs);
}

void InstrumentDiscovery::stop() {
    if (auto *timer = findChild<QTimer *>(QStringLiteral("discoveryTimeout"))) {
        timer->stop();
        delete timer;
    }
}

bool InstrumentDiscovery::isRunning() const {
    const auto *timer = findChild<QTimer *>(QStringLiteral("discoveryTimeout"));
    return timer && timer->isActive();
}

QList<DiscoveredInstrument> InstrumentDiscovery::instruments() const {
    return {};
}

} // namespace ixo
