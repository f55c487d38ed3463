#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// A resource one search mechanism has seen, before it is asked *IDN?.
struct IXO_EXPORT DiscoveryCandidate {
    QString resource;
    // "vxi11", "mdns" or "usbtmc".
    QString mechanism;
    // The address the resource names; empty for USB.
    QString host;
    // VXI-11: the portmapper that told the core channel, when not the standard one.
    quint16 portmapperPort = 111;

    bool operator==(const DiscoveryCandidate &) const = default;
};

} // namespace ixo
