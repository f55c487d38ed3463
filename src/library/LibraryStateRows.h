#pragma once

#include "automation/Export.h"
#include "library/ChangeRecord.h"

#include <QString>
#include <QVariant>

namespace ixo {

class ItemStateInfo;
class SetupLibrary;

// The rows of one role's states, changed only where their version is still the one read: every
// change adds a row to state_versions, so no version of a state is ever lost.
class IXO_EXPORT LibraryStateRows {
public:
    LibraryStateRows(SetupLibrary &library, qint64 roleId, QString roleName, ChangeRecord here);

    // Returns the new row's id; its version is 1.
    qint64 insert(const ItemStateInfo &state, int position);
    // Name and description, and the position when the state moved.
    void update(qint64 id, int version, const QString &wasNamed, const ItemStateInfo &state,
                int position);
    // The setup itself, as a new version.
    void revise(qint64 id, int version, const ItemStateInfo &state);
    void release(qint64 id, int version, const QString &name);
    void remove(qint64 id, int version, const QString &name);
    int lastPosition();

private:
    // Checks the row is as read; raises WriteConflict naming who changed it, or that it went.
    void checkUnchanged(qint64 id, int version, const QString &name);
    void checkFree(const QString &name, qint64 id);
    void addVersion(qint64 id, const QString &change, bool withData);
    [[noreturn]] void conflict(const QString &what) const;
    QString label(const QString &name) const;

    SetupLibrary &m_library;
    qint64 m_roleId;
    QString m_roleName;
    ChangeRecord m_here;
};

} // namespace ixo
