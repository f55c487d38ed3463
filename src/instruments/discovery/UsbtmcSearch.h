#pragma once

#include "instruments/discovery/DiscoveryCandidate.h"

#include <QList>

namespace ixo {

// The USBTMC instruments Linux's usbtmc driver has bound, from sysfs.
class UsbtmcSearch {
public:
    static QList<DiscoveryCandidate> candidates(const QString &sysfsRoot, const QString &devRoot);
};

} // namespace ixo
