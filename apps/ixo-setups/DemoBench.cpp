#include "DemoBench.h"

#include "desktop/BenchStrip.h"
#include "desktop/MainWindow.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatedDevices.h"

namespace ixo {

namespace {

// In the order of roles(): families whose setups are text, so that the settings show.
constexpr const char *kFamilies[] = {"ixo", "tektronix-mso", "keysight-e36300", "keithley-2400"};
constexpr const char *kRoles[] = {"generator", "scope", "supply", "meter"};

constexpr const char *kIdle[] = {
    ":FREQ 1E9;:POW -30;:OUTP OFF;:AM:STAT OFF",
    "HOR:SCA 1E-3;CH1:SCA 1;TRIG:A:MOD AUTO",
    "SOUR:VOLT 0,(@1);SOUR:CURR 1,(@1)",
    ":SOUR:FUNC VOLT;:SOUR:VOLT:LEV 0",
};
constexpr const char *kMeasure[] = {
    ":FREQ 2.45E9;:POW -10;:OUTP ON;:AM:STAT ON",
    "HOR:SCA 2E-9;CH1:SCA 0.05;TRIG:A:MOD NORM",
    "SOUR:VOLT 5,(@1);SOUR:CURR 0.5,(@1);SOUR:VOLT 3.3,(@2)",
    ":SOUR:FUNC CURR;:SOUR:CURR:LEV 1E-3;:SENS:VOLT:PROT 10",
};

} // namespace

QList<SetupsDocument::NewRole> DemoBench::roles() {
    QList<SetupsDocument::NewRole> roles;
    for (std::size_t index = 0; index < std::size(kRoles); ++index)
        roles.append({QLatin1String(kRoles[index]),
                      InstrumentFactory::kSimulatorFamilyPrefix + QLatin1String(kFamilies[index])});
    return roles;
}

// The device the bench's "SIM::<family>" instrument talks to.
std::shared_ptr<SimulatedDevice> DemoBench::device(const char *family) {
    return SimulatedDevices::shared().ofFamily(QLatin1String(family));
}

void DemoBench::apply(const char *const (&commands)[4]) {
    for (std::size_t index = 0; index < std::size(kFamilies); ++index)
        device(kFamilies[index])->apply(commands[index]);
}

void DemoBench::captureStates(MainWindow &window) {
    apply(kIdle);
    window.benchStrip().capture(QStringLiteral("Idle"),
                                QStringLiteral("Carrier off, supply and source at 0 V"));
    apply(kMeasure);
    window.benchStrip().capture(QStringLiteral("Measure"),
                                QStringLiteral("2.45 GHz with AM into the board at 5 V"));
}

} // namespace ixo
