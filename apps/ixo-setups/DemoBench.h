#pragma once

#include "desktop/SetupsDocument.h"

#include <QList>
#include <QString>
#include <map>
#include <memory>

namespace ixo {

class MainWindow;
class ScpiInstrument;
class SimulatedDevice;

// The bench --demo-bench shows without hardware: a signal generator, an oscilloscope, a power
// supply and a multimeter simulated in this process, each reached as "SIM::<family>" (any
// family of the simulator), with two bench states captured to try Restore Bench on.
class DemoBench {
public:
    static const QString kPrefix;

    // Role and resource of each instrument, in the bench's order.
    static QList<SetupsDocument::NewRole> roles();

    // The in-process instrument of a "SIM::<family>" resource, or nullptr for another
    // resource. One device per family, so that reconnecting finds it as it was left.
    std::shared_ptr<ScpiInstrument> open(const QString &resource);
    // Sets the instruments up two ways and captures each as a bench state.
    void captureStates(MainWindow &window);

private:
    std::shared_ptr<SimulatedDevice> device(const QString &family);
    void apply(const char *const (&commands)[4]);

    std::map<QString, std::shared_ptr<SimulatedDevice>> m_devices;
};

} // namespace ixo
