#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// One instrument found on the network or the USB bus.
struct IXO_EXPORT DiscoveredInstrument {
    // The VISA resource string to connect with, e.g. "TCPIP::192.168.1.20::INSTR".
    QString resource;
    // The answer to *IDN?; empty when it was not asked or did not come.
    QString identity;
    // How it was found: "vxi11", "mdns" or "usbtmc".
    QString mechanism;
    // Why *IDN? failed, when it did.
    QString problem;

    bool operator==(const DiscoveredInstrument &) const = default;
};

} // namespace ixo
