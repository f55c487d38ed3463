#pragma once

#include "TransportRig.h"

#include <QTextStream>
#include <cstdint>

namespace ixo::soak {

using Rig = test::TransportRig;
using TransportEntry = test::TransportKind;
using test::transports;

struct SoakOptions {
    int cycles = 10000;
    quint64 seed = 1;
    double faultRate = 0.05;
    int timeoutMs = 300;
    // The resident memory may grow by this much between the warm-up and the end.
    qint64 maxGrowthKiB = 4096;
};

struct SoakResult {
    int cycles = 0;
    int faults = 0;
    int failures = 0;
    qint64 warmRssKiB = 0;
    qint64 endRssKiB = 0;
    qint64 elapsedMs = 0;
};

// Runs the capture/restore cycles of one transport; failures are written to out as they happen.
SoakResult runSoak(const TransportEntry &transport, const SoakOptions &options, QTextStream &out);

qint64 residentKiB();

} // namespace ixo::soak
