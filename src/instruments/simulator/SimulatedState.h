#pragma once

#include "automation/Export.h"
#include "instruments/Ieee488Block.h"
#include "instruments/simulator/MassMemory.h"
#include "instruments/simulator/SimulatedFamily.h"
#include "instruments/simulator/SimulatedFaults.h"
#include "instruments/simulator/SimulatedSettings.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QMap>
#include <QStringList>
#include <optional>

namespace ixo {

struct ScpiError;

// Everything a simulated instrument holds, which its family's command handlers work on;
// SimulatedDevice guards it with its lock.
struct IXO_EXPORT SimulatedState {
    static constexpr int kErrorQueueSize = 32;

    SimulatedState(const SimulatedFamily &family, const QString &model, const QString &version,
                   const QString &serial);

    // Runs one command with its handler, nullptr when the family has none; raises the
    // instrument's errors.
    QByteArray execute(const ScpiCommand &command, const SimulatedFamily::Command *handler);
    void pushError(const QString &error);
    void pushError(const ScpiError &error);

    // The answer to a query of a block, in the family's form or the one forced on it.
    QByteArray block(QByteArrayView data) const;
    // The setup, as a block, empty while a capture fails.
    QByteArray setupBlock() const;
    QByteArray setup() const;
    // Applies a setup, taking the family's apply time.
    void restore(QByteArrayView setup);
    // The answer after its header ("CMR 0") while the header mode is on.
    QByteArray headed(QByteArrayView header, const QByteArray &answer) const;

    const SimulatedFamily &family;
    // Manufacturer, model, serial number and version.
    QStringList identity;
    SimulatedSettings settings;
    MassMemory files;
    SimulatedFaults faults;
    // What *SAV stored, by number.
    QMap<int, QByteArray> registers;
    QStringList errors;
    int eventStatus = 0;
    // The command and execution error registers of instruments without an error queue.
    int commandError = 0;
    int executionError = 0;
    // A restore still being carried out.
    QDeadlineTimer busyUntil{0};
    // Set by *WAI: answers wait until then.
    QDeadlineTimer holdUntil{0};
    bool opcArmed = false;
    bool headers = true;
    // Set while a capture fails: its queries answer empty.
    bool blankCapture = false;
    // The file the next download's data writes.
    QString downloadName;
    std::optional<Ieee488Block::Form> blockForm;
    int applyDelayMs = 0;
};

} // namespace ixo
