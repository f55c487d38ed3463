#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"
#include "instruments/simulator/SimulatedState.h"
#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

#include <array>
#include <limits>

namespace ixo {

namespace {

using Definition = SimulatedSettings::Definition;
using Role = SimulatedFamily::Role;

constexpr std::array<Definition, 3> kTektronixOscilloscope{{
    {"HORizontal:SCAle", "1E-3", nullptr, 2e-10, 1000, 'E', 3},
    {"CH1:SCAle", "1", nullptr, 5e-4, 10, 'E', 3},
    {"TRIGger:A:MODe", "AUTO", "AUTO|NORMal", 0, 0, 0, 0},
}};

constexpr std::array<Definition, 6> kSourceMeter{{
    {":SOURce:FUNCtion", "VOLT", "VOLTage|CURRent", 0, 0, 0, 0},
    {":SOURce:VOLTage:LEVel", "0", nullptr, -210, 210, 'E', 6, 0, true},
    {":SOURce:CURRent:LEVel", "0", nullptr, -1.05, 1.05, 'E', 6, 0, true},
    {":SENSe:CURRent:PROTection", "1.05E-4", nullptr, 1e-9, 1.05, 'E', 6, 0, true},
    {":SENSe:VOLTage:PROTection", "21", nullptr, 0.2, 210, 'E', 6, 0, true},
    {":OUTPut", "0", "0|1", 0, 0, 0, 0},
}};

bool boolean(const ScpiCommand &command) {
    const QByteArray value = command.parameter(0).value.toUpper();
    if (value != "1" && value != "0" && value != "ON" && value != "OFF")
        ScpiError::raise(-224, "Illegal parameter value", command.header);
    return value == "1" || value == "ON";
}

// Tektronix numbers its events without the sign of the SCPI error codes.
QByteArray event(const QString &error) {
    return (error.startsWith(u'-') ? error.sliced(1) : error).toUtf8();
}

QByteArray events(SimulatedState &state, qsizetype count) {
    if (state.errors.isEmpty())
        return "0,\"No events to report - queue empty\"";
    QByteArrayList events;
    while (!state.errors.isEmpty() && events.size() < count)
        events.append(event(state.errors.takeFirst()));
    return events.join(',');
}

QList<SimulatedFamily::Command> tektronixCommands() {
    const auto eventQuery = [](const char *pattern, const char *header, qsizetype count) {
        return SimulatedFamily::Command{
            QLatin1String(pattern), Role::ErrorQuery,
            [header, count](SimulatedState &state, const ScpiCommand &) {
                return state.headed(header, events(state, count));
            }};
    };
    return {
        FamilyHandlers::learnString("SET?", ":HEADER 1;:VERBOSE 1"),
        FamilyHandlers::learnString("*LRN?", ":HEADER 1;:VERBOSE 1"),
        {QStringLiteral("HEADer"), Role::None,
         [](SimulatedState &state, const ScpiCommand &command) {
             state.headers = boolean(command);
             return QByteArray();
         },
         1},
        {QStringLiteral("HEADer?"), Role::None,
         [](SimulatedState &state, const ScpiCommand &) {
             return state.headed(":HEADER", state.headers ? "1" : "0");
         }},
        // Answers always use the long headers, so verbosity changes nothing.
        {QStringLiteral("VERBose"), Role::None,
         [](SimulatedState &, const ScpiCommand &command) {
             boolean(command);
             return QByteArray();
         },
         1},
        eventQuery("ALLEv?", ":ALLEV", std::numeric_limits<qsizetype>::max()),
        eventQuery("EVMsg?", ":EVMSG", 1),
    };
}

} // namespace

QList<SimulatedFamily> Families::tektronix() {
    return {
        {.name = QStringLiteral("tektronix-mso"),
         .description = QStringLiteral("Tektronix MSO54 oscilloscope: SET? learn string written "
                                       "back as commands, ALLEV?/EVMSG? event queue"),
         .identity = QStringLiteral("TEKTRONIX,MSO54,C012345,CF:91.1CT FV:1.28.3.1021"),
         .setupMagic = "TMS1",
         .settings = kTektronixOscilloscope,
         .commands = tektronixCommands()},
        {.name = QStringLiteral("keithley-2400"),
         .description = QStringLiteral("Keithley 2400 SourceMeter: settings, *SAV/*RCL 0-4"),
         .identity = QStringLiteral(
             "KEITHLEY INSTRUMENTS INC.,MODEL 2400,1234567,C32   Oct  4 2010 14:20:11/A02  /K/J"),
         .setupMagic = "K240",
         .settings = kSourceMeter,
         .noError = QStringLiteral("0,\"No error\""),
         .commands = FamilyHandlers::registers(0, 4)},
    };
}

} // namespace ixo
