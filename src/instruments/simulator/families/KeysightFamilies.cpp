#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

#include <array>

namespace ixo {

namespace {

using Definition = SimulatedSettings::Definition;

constexpr std::array<Definition, 5> kOscilloscope{{
    {":TIMebase:SCALe", "1E-3", nullptr, 1e-9, 50, 'E', 4},
    {":TIMebase:POSition", "0", nullptr, -500, 500, 'E', 4},
    {":CHANnel1:SCALe", "1", nullptr, 1e-3, 10, 'E', 4},
    {":CHANnel1:OFFSet", "0", nullptr, -100, 100, 'E', 4},
    {":TRIGger:MODE", "EDGE", "EDGE|GLITch|PATTern", 0, 0, 0, 0},
}};

constexpr std::array<Definition, 3> kSignalAnalyser{{
    {":FREQuency:CENTer", "1E9", nullptr, 0, 26.5e9, 'E', 9},
    {":FREQuency:SPAN", "1E6", nullptr, 0, 26.5e9, 'E', 9},
    {":BANDwidth:RESolution", "1E4", nullptr, 1, 8e6, 'E', 6},
}};

constexpr std::array<Definition, 3> kMultimeter{{
    {":VOLTage:DC:RANGe", "10", nullptr, 0.1, 1000, 'E', 6},
    {":VOLTage:DC:NPLC", "10", nullptr, 0.001, 100, 'E', 6},
    {":TRIGger:SOURce", "IMM", "IMMediate|EXTernal|BUS", 0, 0, 0, 0},
}};

constexpr std::array<Definition, 3> kWaveformGenerator{{
    {":SOURce1:FREQuency", "1000", nullptr, 1e-6, 3e7, 'E', 9},
    {":SOURce1:VOLTage", "0.1", nullptr, 1e-3, 10, 'E', 6},
    {":OUTPut1", "0", "0|1", 0, 0, 0, 0},
}};

constexpr std::array<Definition, 9> kTripleSupply{{
    {"SOURce:VOLTage", "0", nullptr, 0, 6, 'E', 8, 1, true},
    {"SOURce:VOLTage", "0", nullptr, 0, 25, 'E', 8, 2, true},
    {"SOURce:VOLTage", "0", nullptr, 0, 25, 'E', 8, 3, true},
    {"SOURce:CURRent", "1", nullptr, 0, 5, 'E', 8, 1, true},
    {"SOURce:CURRent", "1", nullptr, 0, 1, 'E', 8, 2, true},
    {"SOURce:CURRent", "1", nullptr, 0, 1, 'E', 8, 3, true},
    {"OUTPut", "0", "0|1", 0, 0, 0, 0, 1},
    {"OUTPut", "0", "0|1", 0, 0, 0, 0, 2},
    {"OUTPut", "0", "0|1", 0, 0, 0, 0, 3},
}};

constexpr std::array<Definition, 3> kDualSupply{{
    {":VOLTage", "0", nullptr, 0, 20, 'E', 8, 0, true},
    {":CURRent", "1", nullptr, 0, 3, 'E', 8, 0, true},
    {":OUTPut", "0", "0|1", 0, 0, 0, 0},
}};

const FamilyHandlers::FileRoute kStateFiles{
    "INT:\\", ".sta", false, "MMEMory:STORe:STATe", "MMEMory:LOAD:STATe", true};

SimulatedFamily family(const char *name, const char *description, const char *identity,
                       const char *magic, std::span<const Definition> settings) {
    return {.name = QLatin1String(name),
            .description = QLatin1String(description),
            .identity = QLatin1String(identity),
            .setupMagic = magic,
            .settings = settings,
            // Keysight signs the zero.
            .noError = QStringLiteral("+0,\"No error\"")};
}

SimulatedFamily withSetupBlock(SimulatedFamily family) {
    family.blockDigits = 8;
    family.commands = FamilyHandlers::blockSetup("SYSTem:SETup");
    return family;
}

SimulatedFamily with(SimulatedFamily family, const FamilyHandlers::Commands &commands) {
    family.commands = commands;
    return family;
}

} // namespace

QList<SimulatedFamily> Families::keysight() {
    return {
        withSetupBlock(family("keysight-infiniivision",
                              "Keysight InfiniiVision DSO-X 3024T oscilloscope: :SYST:SET "
                              "setup block (#8)",
                              "KEYSIGHT TECHNOLOGIES,DSO-X 3024T,MY58100001,07.50.2021102830",
                              "KIV1", kOscilloscope)),
        withSetupBlock(family("keysight-infiniium",
                              "Keysight Infiniium MSOS254A oscilloscope: :SYST:SET setup "
                              "block (#8)",
                              "KEYSIGHT TECHNOLOGIES,MSOS254A,MY56100001,06.70.00201", "KIN1",
                              kOscilloscope)),
        withSetupBlock(family("keysight-xsa",
                              "Keysight X-Series N9020B signal analyser: :SYST:SET setup "
                              "block (#8)",
                              "Keysight Technologies,N9020B,MY56100001,A.32.05", "KXS1",
                              kSignalAnalyser)),
        with(family("keysight-truevolt",
                    "Keysight Truevolt 34465A multimeter: state files INT:\\NAME.sta",
                    "Keysight Technologies,34465A,MY57500001,A.02.14-02.40-02.14-00.49-03-01",
                    "KTV1", kMultimeter),
             FamilyHandlers::files(kStateFiles)),
        with(family("keysight-33500",
                    "Keysight 33522B waveform generator: state files INT:\\NAME.sta",
                    "Keysight Technologies,33522B,MY52600001,4.00-1.19-2.00-58-00", "K335",
                    kWaveformGenerator),
             FamilyHandlers::files(kStateFiles)),
        with(family("keysight-e36300",
                    "Keysight E36312A triple power supply: settings with (@n), *SAV/*RCL 1-10",
                    "Keysight Technologies,E36312A,MY59000001,2.1.0-1.0.4-1.12", "E363",
                    kTripleSupply),
             FamilyHandlers::registers(1, 10)),
        with(family("keysight-e364x",
                    "Agilent E3646A power supply: *SAV/*RCL 1-5 only, no setup query",
                    "Agilent Technologies,E3646A,0,1.7-5.0-1.0", "E364", kDualSupply),
             FamilyHandlers::registers(1, 5)),
    };
}

} // namespace ixo
