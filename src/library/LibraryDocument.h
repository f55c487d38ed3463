#pragma once

#include "automation/Export.h"
#include "library/ChangeRecord.h"
#include "library/LibraryHistory.h"
#include "library/LibrarySchema.h"
#include "model/StateDocument.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <memory>
#include <optional>

namespace ixo {

class IxoResource;
class ItemStateInfo;
class SetupLibrary;

// One document of a setup library, read into a StateDocument and saved back change by change:
// each save is one transaction on the rows that changed since the document was read, so that
// stations working on the same document keep each other's states. A row another station
// changed in between is not overwritten: the save raises WriteConflict naming who changed it
// and when, and writes nothing.
class IXO_EXPORT LibraryDocument {
public:
    LibraryDocument(SetupLibrary &library, QString name);

    // Missing::IsCreated gives an empty document, written on its first save.
    void read(std::shared_ptr<IxoResource> texts, LibrarySchema::Missing missing);
    StateDocument &document() { return *m_document; }
    const QString &name() const { return m_name; }
    SetupLibrary &library() { return m_library; }

    // Writes the changes in one transaction of its own.
    void save();
    // Writes every role and state of a document not yet in the library, inside the caller's
    // transaction.
    void write(const StateDocument &document);

    // The version of a saved state as it was read or saved; 0 for one not saved yet.
    int versionOf(const QString &role, const QString &state) const;
    // Marks a state released: from then on it is neither renamed nor removed, and changes only
    // by a new version.
    void release(const QString &role, const QString &state);
    // A new version of a saved state with the data of captured (its model and version too).
    void revise(const QString &role, const QString &state, const ItemStateInfo &captured);
    // The library's id of a role, -1 for one not saved yet.
    qint64 roleId(const QString &role) const;
    // Every version of the role's states, also of those since removed.
    LibraryHistory history(const QString &role);

private:
    struct StateRow {
        qint64 id = -1;
        int version = 0;
        QString name;
        QString description;
        bool released = false;
    };
    using StateRows = std::map<std::shared_ptr<ItemStateInfo>, StateRow>;
    struct RoleRow {
        qint64 id = -1;
        int position = 0;
        QString resource;
        QString profile;
        bool safetyCapture = true;
        QByteArray undo;
        StateRows states;
    };
    struct Snapshot {
        qint64 documentId = -1;
        QByteArray properties;
        std::map<QString, RoleRow> roles;
    };

    Snapshot writeChanges(const StateDocument &document) const;
    void readRoles(Snapshot &snapshot);
    void readStates(BenchRole &role, RoleRow &row) const;
    qint64 writeDocument(const StateDocument &document, const Snapshot &was) const;
    RoleRow writeRole(qint64 documentId, const BenchRole &role, int position,
                      const RoleRow *was) const;
    void writeStates(const BenchRole &role, const RoleRow &was, RoleRow &now) const;
    void removeRole(const QString &name, const RoleRow &was) const;
    StateRow &savedRow(const QString &role, const QString &state);
    static QByteArray propertiesOf(const StateDocument &document);

    SetupLibrary &m_library;
    QString m_name;
    ChangeRecord m_here;
    std::optional<StateDocument> m_document;
    Snapshot m_snapshot;
};

} // namespace ixo
