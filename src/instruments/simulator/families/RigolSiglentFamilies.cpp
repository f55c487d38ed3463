#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"
#include "instruments/simulator/SimulatedState.h"
#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

#include <array>

namespace ixo {

namespace {

using Definition = SimulatedSettings::Definition;
using Role = SimulatedFamily::Role;

constexpr std::array<Definition, 3> kRigolOscilloscope{{
    {":TIMebase:MAIN:SCALe", "1E-3", nullptr, 5e-9, 50, 'E', 4},
    {":CHANnel1:SCALe", "1", nullptr, 1e-3, 10, 'E', 4},
    {":TRIGger:MODE", "EDGE", "EDGE|PULSe|SLOPe", 0, 0, 0, 0},
}};

constexpr std::array<Definition, 3> kSiglentOscilloscope{{
    {"TDIV", "1E-3", nullptr, 1e-9, 100, 'E', 2},
    {"C1:VDIV", "1", nullptr, 5e-4, 10, 'E', 2},
    {"TRMD", "AUTO", "AUTO|NORM|SINGLE|STOP", 0, 0, 0, 0},
}};

// Siglent has error registers instead of a queue; reading one clears it.
SimulatedFamily::Command errorRegister(const char *header, int SimulatedState::*code) {
    return {QLatin1String(header) + u'?', Role::None,
            [header, code](SimulatedState &state, const ScpiCommand &) {
                return state.headed(header, QByteArray::number(std::exchange(state.*code, 0)));
            }};
}

QList<SimulatedFamily::Command> siglentCommands() {
    QList<SimulatedFamily::Command> commands = FamilyHandlers::blockSetup("PNSU", "PNSU");
    commands.append({QStringLiteral("CHDR"), Role::None,
                     [](SimulatedState &state, const ScpiCommand &command) {
                         const QByteArray mode = command.parameter(0).value.toUpper();
                         if (mode != "SHORT" && mode != "LONG" && mode != "OFF")
                             ScpiError::raise(-224, "Illegal parameter value", command.header);
                         state.headers = mode != "OFF";
                         return QByteArray();
                     },
                     1});
    commands.append(
        {QStringLiteral("CHDR?"), Role::None, [](SimulatedState &state, const ScpiCommand &) {
             return state.headers ? QByteArray("CHDR SHORT") : QByteArray("OFF");
         }});
    commands.append(errorRegister("CMR", &SimulatedState::commandError));
    commands.append(errorRegister("EXR", &SimulatedState::executionError));
    return commands;
}

} // namespace

QList<SimulatedFamily> Families::rigolSiglent() {
    return {
        {.name = QStringLiteral("rigol-ds1000z"),
         .description = QStringLiteral("Rigol DS1104Z oscilloscope: :SYST:SET setup block (#9), "
                                       "busy while applying it (--apply-delay-ms)"),
         .identity = QStringLiteral("RIGOL TECHNOLOGIES,DS1104Z,DS1ZA000000001,00.04.04.SP4"),
         .setupMagic = "RDS1",
         .settings = kRigolOscilloscope,
         .blockDigits = 9,
         .applyDelayMs = 2000,
         .noError = QStringLiteral("0,\"No error\""),
         .commands = FamilyHandlers::blockSetup("SYSTem:SETup")},
        {.name = QStringLiteral("siglent-sds1000xe"),
         .description = QStringLiteral("Siglent SDS1202X-E oscilloscope: PNSU setup block after "
                                       "its header (CHDR), CMR?/EXR? error registers"),
         .identity = QStringLiteral("Siglent Technologies,SDS1202X-E,SDS1EBAC0L0098,1.3.27"),
         // Its setups hold a newline and a NUL byte from the start.
         .setupMagic = QByteArray("SDS\n\0\r\n", 7),
         .settings = kSiglentOscilloscope,
         .blockDigits = 9,
         .commands = siglentCommands()},
    };
}

} // namespace ixo
