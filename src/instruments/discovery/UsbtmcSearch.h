#pragma once

#include "automation/Export.h"
#include "instruments/discovery/DiscoveryCandidate.h"

#include <QList>

namespace ixo {

// The USBTMC instruments Linux's usbtmc driver has bound, from sysfs.
class IXO_EXPORT UsbtmcSearch {
public:
    static QList<DiscoveryCandidate> candidates(const QString &sysfsRoot, const QString &devRoot);
};

} // namespace ixo
