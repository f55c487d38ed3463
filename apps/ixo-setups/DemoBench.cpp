#include "DemoBench.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "desktop/BenchStrip.h"
#include "desktop/MainWindow.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/simulator/InProcessTransport.h"
#include "instruments/simulator/SimulatedDevice.h"

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

const QString DemoBench::kPrefix = QStringLiteral("SIM::");

QList<SetupsDocument::NewRole> DemoBench::roles() {
    QList<SetupsDocument::NewRole> roles;
    for (std::size_t index = 0; index < std::size(kRoles); ++index)
        roles.append({QLatin1String(kRoles[index]), kPrefix + QLatin1String(kFamilies[index])});
    return roles;
}

std::shared_ptr<ScpiInstrument> DemoBench::open(const QString &resource) {
    const QString trimmed = resource.trimmed();
    if (!trimmed.startsWith(kPrefix, Qt::CaseInsensitive))
        return nullptr;
    return std::make_shared<ScpiInstrument>(
        std::make_unique<InProcessTransport>(device(trimmed.mid(kPrefix.size()))));
}

std::shared_ptr<SimulatedDevice> DemoBench::device(const QString &family) {
    const QString key = family.toLower();
    auto &device = m_devices[key];
    if (!device)
        device = SimulatedDevice::forFamily(key);
    if (!device)
        throw AutomationError(ErrorNumber::InvalidProcedureCall, QStringLiteral("ixo-setups"),
                              QStringLiteral("The simulator has no family %1 (it has %2)")
                                  .arg(family, SimulatedDevice::familyNames().join(", ")));
    return device;
}

void DemoBench::apply(const char *const (&commands)[4]) {
    for (std::size_t index = 0; index < std::size(kFamilies); ++index)
        device(QLatin1String(kFamilies[index]))->apply(commands[index]);
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
