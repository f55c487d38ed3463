#pragma once

#include "desktop/SetupsDocument.h"

#include <QList>
#include <QString>
#include <memory>

namespace ixo {

class MainWindow;
class SimulatedDevice;

// The bench --demo-bench shows without hardware: a signal generator, an oscilloscope, a power
// supply and a multimeter simulated in this process, each reached as "SIM::<family>", with two
// bench states captured to try Restore Bench on.
class DemoBench {
public:
    // Role and resource of each instrument, in the bench's order.
    static QList<SetupsDocument::NewRole> roles();

    // Sets the instruments up two ways and captures each as a bench state.
    static void captureStates(MainWindow &window);

private:
    static std::shared_ptr<SimulatedDevice> device(const char *family);
    static void apply(const char *const (&commands)[4]);
};

} // namespace ixo
