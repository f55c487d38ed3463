#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

#include <array>

namespace ixo {

namespace {

using Definition = SimulatedSettings::Definition;

constexpr std::array<Definition, 3> kSpectrumAnalyser{{
    {":FREQuency:CENTer", "1E9", nullptr, 0, 26.5e9, 'E', 9},
    {":FREQuency:SPAN", "1E6", nullptr, 0, 26.5e9, 'E', 9},
    {":DISPlay:TRACe:Y:RLEVel", "-10", nullptr, -130, 30, 'f', 2},
}};

constexpr std::array<Definition, 3> kNetworkAnalyser{{
    {":SENSe1:FREQuency:STARt", "1E8", nullptr, 1e5, 8.5e9, 'E', 9},
    {":SENSe1:FREQuency:STOP", "8.5E9", nullptr, 1e5, 8.5e9, 'E', 9},
    {":SENSe1:SWEep:POINts", "201", nullptr, 1, 100001, 'f', 0},
}};

constexpr std::array<Definition, 3> kSignalGenerator{{
    {":FREQuency", "1E9", nullptr, 8e3, 6e9, 'E', 9},
    {":POWer", "-10", nullptr, -145, 30, 'f', 2},
    {":OUTPut", "0", "0|1", 0, 0, 0, 0},
}};

const FamilyHandlers::FileRoute kAnalyserFiles{
    "C:\\Temp\\", "", true, "MMEMory:STORe:STATe", "MMEMory:LOAD:STATe", false};
const FamilyHandlers::FileRoute kGeneratorFiles{"/var/user/", "",           false,
                                                "SYSTem:SAV", "SYSTem:RCL", false};

SimulatedFamily family(const char *name, const char *description, const char *identity,
                       const char *magic, std::span<const Definition> settings,
                       const FamilyHandlers::FileRoute &files) {
    return {.name = QLatin1String(name),
            .description = QLatin1String(description),
            .identity = QLatin1String(identity),
            .setupMagic = magic,
            .settings = settings,
            .noError = QStringLiteral("0,\"No error\""),
            .commands = FamilyHandlers::files(files)};
}

} // namespace

QList<SimulatedFamily> Families::rohdeSchwarz() {
    SimulatedFamily generator =
        family("rs-sma100b",
               "R&S SMA100B signal generator: SYST:SAV/RCL files in /var/user/, MMEM:DATA? as #(n)",
               "Rohde&Schwarz,SMA100B,1419.8888K02/101234,4.70.026.40", "RSG1", kSignalGenerator,
               kGeneratorFiles);
    generator.blockForm = Ieee488Block::Form::Parenthesized;
    return {
        family("rs-fsw", "R&S FSW-26 signal analyser: state files in C:\\Temp\\ (.dfl)",
               "Rohde&Schwarz,FSW-26,1312.8000K26/101234,4.80", "RSF1", kSpectrumAnalyser,
               kAnalyserFiles),
        family("rs-znb", "R&S ZNB8 network analyser: state files in C:\\Temp\\ (.znx)",
               "Rohde-Schwarz,ZNB8-4Port,1311601044100104,3.45", "RSZ1", kNetworkAnalyser,
               kAnalyserFiles),
        generator,
    };
}

} // namespace ixo
