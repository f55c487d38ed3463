#pragma once

#include "QtCasters.h"
#include "StoredDocument.h"
#include "model/BenchReport.h"
#include "model/BenchStates.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace ixo::python {

// A bench document for Python, from a file or a setup library: its instruments are opened from
// their roles' resources the first time they are needed, each on a thread of its own, unless the
// script hands some in itself. Restores keep the instruments' setups so that the last bench restore
// can be put back.
class PythonBench {
public:
    using Instruments = std::map<QString, SetupInterfaceRef>;

    // A new bench without instruments; give it roles with addRole().
    PythonBench();
    PythonBench(StoredDocument stored, Instruments given);

    // A file's path or a library's address.
    static std::shared_ptr<PythonBench> open(const QString &location, Instruments given);
    // Without a name back where it came from.
    void save(const QString &fileName = QString());

    QString location() const { return m_stored.location(); }
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

    StateDocument &document() { return m_stored.document(); }
    const StateDocument &document() const { return m_stored.document(); }

    StoredDocument m_stored;
    Instruments m_instruments;
    QStringList m_lastRestored;
};

} // namespace ixo::python
