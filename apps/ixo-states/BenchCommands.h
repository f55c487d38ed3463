#pragma once

#include "model/BenchStates.h"

#include <QStringList>

namespace ixo {

class StateDocument;
class StatesCli;

// `ixo-states bench ...`: the document's instruments by role, and the states of the whole
// bench, each instrument reached on a thread of its own.
class BenchCommands {
public:
    explicit BenchCommands(StatesCli &cli);

    int add(const QStringList &args);
    int remove(const QStringList &args);
    int list(const QStringList &args);
    int capture(const QStringList &args);
    int restore(const QStringList &args);
    int rename(const QStringList &args);
    int drop(const QStringList &args);
    int exportState(const QStringList &args);
    int importState(const QStringList &args);

private:
    BenchStates::Instruments instruments();
    int printBench(StateDocument &document, const QString &fileName);

    StatesCli &m_cli;
};

} // namespace ixo
