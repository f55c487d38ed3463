#pragma once

#include "automation/Export.h"
#include "instruments/Ieee488Block.h"
#include "instruments/simulator/SimulatedSettings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <span>

namespace ixo {

struct ScpiCommand;
struct SimulatedState;

// What makes a simulated instrument one family: its identity, settings, setup format, the way
// it reports errors and answers blocks, and the commands it knows. Mostly data: the handlers
// of behaviour shared between families live once in FamilyHandlers.
struct IXO_EXPORT SimulatedFamily {
    // What a command is to the fault injection: captures and restores fail and stall.
    enum class Role { None, Capture, Restore, ErrorQuery };
    using Handler = std::function<QByteArray(SimulatedState &, const ScpiCommand &)>;
    struct Command {
        QString pattern;
        Role role = Role::None;
        Handler run;
        // More raise "Parameter not allowed".
        int maxParameters = 0;
    };

    QString name;
    QString description{};
    // "<manufacturer>,<model>,<serial>,<version>", as *IDN? answers.
    QString identity;
    // The start of every setup of this family, telling it from other bytes.
    QByteArray setupMagic{};
    std::span<const SimulatedSettings::Definition> settings;
    Ieee488Block::Form blockForm = Ieee488Block::Form::Definite;
    // The digits of a definite block's length, zero-padded; 0 for as few as needed.
    int blockDigits = 0;
    int applyDelayMs = 0;
    // The answer of an empty SYSTem:ERRor?; without one the family has no error queue query.
    QString noError{};
    // Errors name what failed after the message, as the ixo instrument's do.
    bool detailedErrors = false;
    // The family's own commands; all() adds the settings' and the common ones after them.
    QList<Command> commands{};

    static const QList<SimulatedFamily> &all();
    // nullptr for a name not in all().
    static const SimulatedFamily *find(const QString &name);
    const Command *command(const QString &header) const;
};

} // namespace ixo
