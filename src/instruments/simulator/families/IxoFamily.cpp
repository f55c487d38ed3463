#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"
#include "instruments/simulator/SimulatedState.h"
#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

#include <array>

namespace ixo {

namespace {

constexpr std::array<SimulatedSettings::Definition, 12> kSettings{{
    {":FREQ", "1.000000E+09", nullptr, 9e3, 6e9, 'E', 6},
    {":POW", "-10.00", nullptr, -130, 20, 'f', 2},
    {":OUTP", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":AM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":AM:DEPT", "30.0", nullptr, 0, 100, 'f', 1},
    {":FM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":FM:DEV", "1.000E+03", nullptr, 0, 1e7, 'E', 3},
    {":PULM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":PULM:WIDT", "1.000E-06", nullptr, 1e-8, 1, 'E', 3},
    {":PULM:PER", "1.000E-03", nullptr, 1e-7, 10, 'E', 3},
    {":LFO:FREQ", "1.000E+03", nullptr, 0.1, 1e6, 'E', 3},
    {":TRIG:SOUR", "IMM", "IMM|EXT|BUS", 0, 0, 0, 0},
}};

// The waveform memory is part of the setup block only, since a learn string is text.
QList<SimulatedFamily::Command> waveformCommands() {
    return {
        {QStringLiteral(":ARB:DATA"), SimulatedFamily::Role::None,
         [](SimulatedState &state, const ScpiCommand &command) {
             QByteArray waveform = command.block(0);
             if (waveform.size() > SimulatedSettings::kMaxWaveform)
                 ScpiError::raise(-223, "Too much data", command.header);
             state.settings.setWaveform(std::move(waveform));
             return QByteArray();
         },
         1},
        {QStringLiteral(":ARB:DATA?"), SimulatedFamily::Role::None,
         [](SimulatedState &state, const ScpiCommand &) {
             return state.block(state.settings.waveform());
         }},
    };
}

} // namespace

QList<SimulatedFamily> Families::ixo() {
    SimulatedFamily family{
        .name = QStringLiteral("ixo"),
        .description = QStringLiteral("IXO SG-100 signal generator: learn string, :SYST:SET "
                                      "setup block with the arbitrary waveform (default)"),
        .identity = QStringLiteral("IXO,SG-100,000001,2.1.0"),
        .setupMagic = QByteArrayLiteral("IXS1"),
        .settings = kSettings,
        .noError = QStringLiteral("0,\"No error\""),
        .detailedErrors = true,
    };
    family.commands = FamilyHandlers::blockSetup(":SYST:SET") + waveformCommands();
    family.commands.append(FamilyHandlers::learnString("*LRN?", "*RST"));
    return {family};
}

} // namespace ixo
