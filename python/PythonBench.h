#pragma once

#include "QtCasters.h"
#include "model/BenchReport.h"
#include "model/BenchStates.h"
#include "model/StateDocument.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace ixo::python {

// A bench document for Python: its instruments are opened from their roles' resources the first
// time they are needed, each on a thread of its own, unless the script hands some in itself.
// Restores keep the instruments' setups so that the last bench restore can be put back.
class PythonBench {
public:
    using Instruments = std::map<QString, SetupInterfaceRef>;

    // A new bench without instruments; give it roles with addRole().
    PythonBench();
    PythonBench(StateDocument document, Instruments given);

    static std::shared_ptr<PythonBench> open(const QString &fileName, Instruments given);
    void save(const QString &fileName = QString());

    const StateDocument &document() const { return m_document; }
    QStringList roles() const;
    QStringList names() const;
    SetupInterfaceRef instrument(const QString &role);
    // instrument, when given, stands for the resource's.
    void addRole(const QString &role, const QString &resource, const QString &profile,
                 SetupInterfaceRef instrument);

    void capture(const QString &name, const QString &description);
    // Raises after the first role that fails, with every role's outcome and how to put back the
    // roles already restored.
    BenchReport restore(const QString &name);
    // Puts back the roles the last restore reached (or those named), newest first; returns them.
    QStringList undoRestore(const QStringList &roles = {});

private:
    BenchStates::Instruments instruments();

    StateDocument m_document;
    Instruments m_instruments;
    QStringList m_lastRestored;
};

} // namespace ixo::python
