#pragma once

#include "automation/Export.h"
#include "library/ChangeRecord.h"

#include <QString>
#include <memory>
#include <vector>

namespace ixo {

class ItemStateInfo;
class SetupLibrary;

// Every version a state of one role has had, oldest first, including those of a state since
// removed: what changed, by whom, and the setup as it was.
class IXO_EXPORT LibraryHistory {
public:
    struct Version {
        int version = 0;
        // captured, renamed, revised, released or removed
        QString change;
        QString name;
        QString description;
        QString model;
        QString modelVersion;
        ChangeRecord by;
    };

    LibraryHistory(SetupLibrary &library, qint64 roleId);

    // The state of that name now, else the last one that had it; raises when none had.
    std::vector<Version> versions(const QString &name);
    // The state as it was at that version, with the setup it had then.
    std::shared_ptr<ItemStateInfo> state(const QString &name, int version);

private:
    qint64 stateId(const QString &name);

    SetupLibrary &m_library;
    qint64 m_roleId;
};

} // namespace ixo
