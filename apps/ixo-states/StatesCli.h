#pragma once

#include "automation/PropertyBag.h"
#include "model/StateInfo.h"

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <memory>

namespace ixo {

class SimulatedInstrument;

// The command-line host: keeps a list of saved states in a document file and works on it
// against the simulated instrument.
class StatesCli {
public:
    StatesCli(QTextStream &out, QTextStream &err);

    int run(const QStringList &arguments);

private:
    int demo(const QString &directory);
    int list(const QString &document);
    int capture(const QString &document, const QString &name, const QString &description);
    int exportState(const QString &document, const QString &name, const QString &file);
    int importState(const QString &document, const QString &file);
    int remove(const QString &document, const QString &name);
    int usage();

    std::shared_ptr<StateInfo> loadList(const QString &document) const;
    void saveList(const std::shared_ptr<StateInfo> &states, const QString &document) const;
    void printList(const StateInfo &states);
    void addState(StateInfo &states, const std::shared_ptr<QObject> &state);

    QTextStream &m_out;
    QTextStream &m_err;
    std::shared_ptr<SimulatedInstrument> m_instrument;
};

} // namespace ixo
