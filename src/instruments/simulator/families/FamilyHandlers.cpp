#include "instruments/simulator/families/FamilyHandlers.h"

#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"
#include "instruments/simulator/SimulatedState.h"

namespace ixo {

namespace {

using Role = SimulatedFamily::Role;
using Kind = ScpiCommand::Parameter::Kind;

// What the simulated file systems hold at most, for the catalogue's free space.
constexpr qsizetype kCapacity = qsizetype(64) * 1024 * 1024;

template <typename Action> SimulatedFamily::Handler command(Action action) {
    return [action](SimulatedState &state, const ScpiCommand &command) {
        action(state, command);
        return QByteArray();
    };
}

QByteArray eventStatus(SimulatedState &state) {
    if (state.opcArmed && state.busyUntil.hasExpired()) {
        state.opcArmed = false;
        state.eventStatus |= 1;
    }
    return QByteArray::number(std::exchange(state.eventStatus, 0));
}

void clearStatus(SimulatedState &state) {
    state.errors.clear();
    state.eventStatus = 0;
    state.commandError = 0;
    state.executionError = 0;
    state.opcArmed = false;
}

void operationComplete(SimulatedState &state) {
    if (state.busyUntil.hasExpired())
        state.eventStatus |= 1;
    else
        state.opcArmed = true;
}

// The setting a command names, or the first output's when it names none.
int settingIndex(const SimulatedState &state, const ScpiCommand &command) {
    const QString header = command.isQuery() ? command.header.chopped(1) : command.header;
    const int channel = command.channel();
    int index = state.settings.find(header, channel);
    if (index < 0 && channel == 0)
        index = state.settings.find(header, 1);
    if (index < 0)
        ScpiError::raise(-224, "Illegal parameter value", command.header);
    return index;
}

void setSetting(SimulatedState &state, const ScpiCommand &command) {
    const int index = settingIndex(state, command);
    for (const ScpiCommand::Parameter &parameter : command.parameters) {
        if (parameter.kind == Kind::Block)
            ScpiError::raise(-104, "Data type error", command.header);
        if (parameter.kind != Kind::Channels)
            return state.settings.set(index, QString::fromUtf8(parameter.value));
    }
    ScpiError::raise(-109, "Missing parameter", command.header);
}

} // namespace

FamilyHandlers::Commands FamilyHandlers::common(const SimulatedFamily &family) {
    const auto answer = [](QByteArray (*query)(SimulatedState &)) {
        return [query](SimulatedState &state, const ScpiCommand &) { return query(state); };
    };
    Commands commands{
        {QStringLiteral("*IDN?"), Role::None,
         answer([](SimulatedState &state) { return state.identity.join(u',').toUtf8(); })},
        {QStringLiteral("*OPC?"), Role::None,
         answer([](SimulatedState &) { return QByteArray("1"); })},
        {QStringLiteral("*ESR?"), Role::None, answer(eventStatus)},
        {QStringLiteral("*RST"), Role::None,
         command([](SimulatedState &state, const ScpiCommand &) { state.settings.reset(); })},
        {QStringLiteral("*CLS"), Role::None,
         command([](SimulatedState &state, const ScpiCommand &) { clearStatus(state); })},
        {QStringLiteral("*OPC"), Role::None,
         command([](SimulatedState &state, const ScpiCommand &) { operationComplete(state); })},
        {QStringLiteral("*WAI"), Role::None,
         command([](SimulatedState &state, const ScpiCommand &) {
             state.holdUntil = state.busyUntil;
         })},
        {QStringLiteral(":SIMulate:FAULt"), Role::None,
         command([](SimulatedState &state, const ScpiCommand &command) {
             state.faults.inject(command.parameter(0).value.trimmed().toUpper());
         }),
         1},
    };
    if (!family.noError.isEmpty())
        commands.append(
            {QStringLiteral("SYSTem:ERRor[:NEXT]?"), Role::ErrorQuery,
             [noError = family.noError.toUtf8()](SimulatedState &state, const ScpiCommand &) {
                 return state.errors.isEmpty() ? noError : state.errors.takeFirst().toUtf8();
             }});
    return commands;
}

FamilyHandlers::Commands
FamilyHandlers::settings(std::span<const SimulatedSettings::Definition> definitions) {
    Commands commands;
    QStringList patterns;
    for (const SimulatedSettings::Definition &definition : definitions) {
        const QString pattern = QString::fromLatin1(definition.header);
        if (patterns.contains(pattern))
            continue;
        patterns.append(pattern);
        const int channels = definition.channel ? 1 : 0;
        commands.append({pattern + u'?', Role::None,
                         [](SimulatedState &state, const ScpiCommand &command) {
                             return state.settings.value(settingIndex(state, command)).toUtf8();
                         },
                         channels});
        commands.append({pattern, Role::Restore, command(setSetting), 1 + channels});
    }
    return commands;
}

FamilyHandlers::Commands FamilyHandlers::blockSetup(const char *pattern, const char *answerHeader) {
    const QString restore = QString::fromLatin1(pattern);
    return {
        {restore + u'?', Role::Capture,
         [answerHeader](SimulatedState &state, const ScpiCommand &) {
             return answerHeader ? state.headed(answerHeader, state.setupBlock())
                                 : state.setupBlock();
         }},
        {restore, Role::Restore, command([](SimulatedState &state, const ScpiCommand &command) {
             state.restore(command.block(0));
         }),
         1},
    };
}

SimulatedFamily::Command FamilyHandlers::learnString(const char *pattern, const char *prefix) {
    return {QString::fromLatin1(pattern), Role::Capture,
            [prefix](SimulatedState &state, const ScpiCommand &) {
                if (state.blankCapture)
                    return QByteArray();
                return (QByteArrayList{prefix} + state.settings.commands()).join(';');
            }};
}

FamilyHandlers::Commands FamilyHandlers::files(const FileRoute &route) {
    const int at = route.stateNumber ? 1 : 0;
    Commands commands{
        {QString::fromLatin1(route.store), Role::None,
         command([route, at](SimulatedState &state, const ScpiCommand &command) {
             if (route.stateNumber)
                 command.integer(0);
             QString name = path(route, command, at);
             if (!name.sliced(qstrlen(route.folder)).contains(u'.'))
                 name += QLatin1String(route.extension);
             state.files.put(name, state.setup());
         }),
         at + 1},
        {QString::fromLatin1(route.load), Role::Restore,
         command([route, at](SimulatedState &state, const ScpiCommand &command) {
             state.restore(file(state, path(route, command, at)));
         }),
         at + 1},
        {QString::fromLatin1(route.download ? "MMEMory:UPLoad?" : "MMEMory:DATA?"), Role::Capture,
         [route](SimulatedState &state, const ScpiCommand &command) {
             const QByteArray bytes = file(state, path(route, command, 0));
             return state.block(state.blankCapture ? QByteArray() : bytes);
         },
         1},
        {QStringLiteral("MMEMory:DELete"), Role::None,
         command([route](SimulatedState &state, const ScpiCommand &command) {
             if (!state.files.remove(path(route, command, 0)))
                 ScpiError::raise(-256, "File name not found");
         }),
         1},
    };
    if (!route.download) {
        commands.append({QStringLiteral("MMEMory:DATA"), Role::None,
                         command([route](SimulatedState &state, const ScpiCommand &command) {
                             state.files.put(path(route, command, 0), command.block(1));
                         }),
                         2});
        return commands;
    }
    commands.append({QStringLiteral("MMEMory:DOWNload:FNAMe"), Role::None,
                     command([route](SimulatedState &state, const ScpiCommand &command) {
                         state.downloadName = path(route, command, 0);
                     }),
                     1});
    commands.append({QStringLiteral("MMEMory:DOWNload:DATA"), Role::None,
                     command([](SimulatedState &state, const ScpiCommand &command) {
                         const QByteArray bytes = command.block(0);
                         if (state.downloadName.isEmpty())
                             ScpiError::raise(-221, "Settings conflict");
                         state.files.put(std::exchange(state.downloadName, {}), bytes);
                     }),
                     1});
    commands.append({QStringLiteral("MMEMory:CATalog?"), Role::None,
                     [route](SimulatedState &state, const ScpiCommand &command) {
                         return catalog(route, state, command);
                     },
                     1});
    return commands;
}

FamilyHandlers::Commands FamilyHandlers::registers(int first, int last) {
    const auto number = [first, last](const ScpiCommand &command) {
        const int number = command.integer(0);
        if (number < first || number > last)
            ScpiError::raise(-222, "Data out of range", command.header);
        return number;
    };
    return {
        {QStringLiteral("*SAV"), Role::None,
         command([number](SimulatedState &state, const ScpiCommand &command) {
             state.registers.insert(number(command), state.setup());
         }),
         1},
        // An empty register holds the reset state.
        {QStringLiteral("*RCL"), Role::Restore,
         command([number](SimulatedState &state, const ScpiCommand &command) {
             const auto saved = state.registers.constFind(number(command));
             if (saved == state.registers.cend())
                 state.settings.reset();
             else
                 state.restore(*saved);
         }),
         1},
    };
}

QString FamilyHandlers::path(const FileRoute &route, const ScpiCommand &command, int index) {
    const ScpiCommand::Parameter &parameter = command.parameter(index);
    if (parameter.kind != Kind::String && parameter.kind != Kind::Text)
        ScpiError::raise(-104, "Data type error", command.header);
    const QString path = QString::fromUtf8(parameter.value);
    const QString folder = QLatin1String(route.folder);
    const QStringView name = QStringView(path).sliced(std::min(folder.size(), path.size()));
    if (!path.startsWith(folder, Qt::CaseInsensitive) || name.isEmpty() || name.contains(u'\\') ||
        name.contains(u'/'))
        ScpiError::raise(-257, "File name error", path.left(60));
    return path;
}

QByteArray FamilyHandlers::file(const SimulatedState &state, const QString &path) {
    const std::optional<QByteArray> bytes = state.files.get(path);
    if (!bytes)
        ScpiError::raise(-256, "File name not found", path.left(60));
    return *bytes;
}

QByteArray FamilyHandlers::catalog(const FileRoute &route, SimulatedState &state,
                                   const ScpiCommand &command) {
    if (QString::fromUtf8(command.parameter(0).value)
            .compare(QLatin1String(route.folder), Qt::CaseInsensitive) != 0)
        ScpiError::raise(-257, "File name error");
    qsizetype used = 0;
    QByteArrayList entries;
    for (const QString &path : state.files.paths()) {
        const qsizetype size = state.files.get(path)->size();
        const QString name = path.sliced(qstrlen(route.folder));
        const bool setup = name.endsWith(QLatin1String(route.extension), Qt::CaseInsensitive);
        used += size;
        entries.append(QStringLiteral("\"%1,%2,%3\"")
                           .arg(name, setup ? QStringLiteral("STAT") : QStringLiteral("BIN"))
                           .arg(size)
                           .toUtf8());
    }
    entries.prepend(QByteArray::number(kCapacity - used));
    entries.prepend(QByteArray::number(used));
    return entries.join(',');
}

} // namespace ixo
