#pragma once

#include "automation/Export.h"
#include "instruments/simulator/SimulatedFamily.h"

#include <QList>

namespace ixo {

// The families of each vendor, with their own commands only; SimulatedFamily::all() completes
// them.
class IXO_EXPORT Families {
public:
    static QList<SimulatedFamily> ixo();
    static QList<SimulatedFamily> keysight();
    static QList<SimulatedFamily> rohdeSchwarz();
    static QList<SimulatedFamily> rigolSiglent();
    // Keithley is part of Tektronix.
    static QList<SimulatedFamily> tektronix();
};

} // namespace ixo
