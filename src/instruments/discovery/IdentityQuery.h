#pragma once

#include "automation/Export.h"
#include "instruments/discovery/DiscoveryCandidate.h"

#include <QString>

namespace ixo {

// Asks one candidate *IDN? with blocking waits bounded by a timeout, for a worker thread.
class IXO_EXPORT IdentityQuery {
public:
    struct Answer {
        QString identity;
        QString problem;
    };

    static Answer ask(const DiscoveryCandidate &candidate, int timeoutMs, const QString &sysfsRoot,
                      const QString &devRoot);
};

} // namespace ixo
