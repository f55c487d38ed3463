#include "library/LibraryDocument.h"

#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "library/LibraryErrors.h"
#include "library/LibraryStateRows.h"
#include "library/LibraryTransaction.h"
#include "library/SetupLibrary.h"
#include "library/StateData.h"
#include "model/ItemStateInfo.h"
#include "support/HostDocument.h"

#include <QSet>
#include <algorithm>
#include <tuple>
#include <vector>

namespace ixo {

namespace {

const QString kWrite = QStringLiteral("be written");

// A saved state's row by role and name, const or not as the snapshot's roles are.
template <typename Roles> auto *rowIn(Roles &roles, const QString &role, const QString &state) {
    decltype(&roles.begin()->second.states.begin()->second) none = nullptr;
    const auto found = roles.find(role);
    if (found == roles.end())
        return none;
    for (auto &[item, row] : found->second.states) {
        if (row.name == state)
            return &row;
    }
    return none;
}

} // namespace

LibraryDocument::LibraryDocument(SetupLibrary &library, QString name)
    : m_library(library)
    , m_name(std::move(name))
    , m_here(ChangeRecord::here()) {}

void LibraryDocument::read(std::shared_ptr<IxoResource> texts, LibrarySchema::Missing missing) {
    Snapshot snapshot;
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT id, properties FROM documents WHERE name = ?"), {m_name});
    if (!query.next()) {
        if (missing == LibrarySchema::Missing::Fails)
            LibraryErrors::fail(ErrorNumber::FileNotFound,
                                QStringLiteral("The library at %1 has no document %2")
                                    .arg(m_library.address().text(), m_name));
        m_document.emplace(std::move(texts));
        m_snapshot = std::move(snapshot);
        return;
    }
    snapshot.documentId = query.value(0).toLongLong();
    snapshot.properties = query.value(1).toByteArray();
    PropertyBag bag;
    if (!snapshot.properties.isEmpty())
        bag.setContents(snapshot.properties);
    m_document.emplace(
        StateDocument::fromBag(std::move(bag), std::move(texts), m_library.address().text()));
    readRoles(snapshot);
    m_snapshot = std::move(snapshot);
}

// QPSQL drops what is left of a result once another query runs on the connection, so the
// roles are all read before their states.
void LibraryDocument::readRoles(Snapshot &snapshot) {
    QSqlQuery query =
        m_library.run(QStringLiteral("SELECT id, name, resource, profile, safety_capture, "
                                     "position FROM roles WHERE document_id = ? ORDER BY position"),
                      {snapshot.documentId});
    QStringList names;
    while (query.next()) {
        const QString name = query.value(1).toString();
        RoleRow &row = snapshot.roles[name];
        row.id = query.value(0).toLongLong();
        row.resource = query.value(2).toString();
        row.profile = query.value(3).toString();
        row.safetyCapture = query.value(4).toBool();
        row.position = query.value(5).toInt();
        names << name;
    }
    for (const QString &name : names) {
        RoleRow &row = snapshot.roles[name];
        // A document of one instrument starts with its unnamed role.
        BenchRole *role = m_document->findRole(name);
        if (!role)
            role = &m_document->addRole(name, QString(), QString());
        role->setResource(row.resource);
        role->setProfile(row.profile);
        role->setSafetyCapture(row.safetyCapture);
        readStates(*role, row);
    }
}

void LibraryDocument::readStates(BenchRole &role, RoleRow &row) const {
    QSqlQuery undo = m_library.run(
        QStringLiteral("SELECT contents FROM undo_history WHERE role_id = ? AND station = ?"),
        {row.id, m_here.station});
    if (undo.next()) {
        row.undo = undo.value(0).toByteArray();
        role.history() = RestoreHistory::fromContents(row.undo);
    }
    // Put in order here rather than by ORDER BY: SQLite would sort the whole rows, setups
    // included, through a temporary file.
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT id, name, description, model, version, data_kind, data, "
                       "row_version, released, position FROM states WHERE role_id = ?"),
        {row.id});
    struct Read {
        int position;
        std::shared_ptr<ItemStateInfo> state;
        StateRow row;
    };
    std::vector<Read> read;
    while (query.next()) {
        auto state = std::make_shared<ItemStateInfo>();
        state->setName(query.value(1).toString());
        state->setDescription(query.value(2).toString());
        state->setModel(query.value(3).toString());
        state->setVersion(query.value(4).toString());
        state->setData(StateData::toVariant(query.value(5).toString(), query.value(6).toByteArray(),
                                            state->Name()));
        StateRow saved{query.value(0).toLongLong(), query.value(7).toInt(), state->Name(),
                       state->Description(), query.value(8).toBool()};
        read.push_back({query.value(9).toInt(), std::move(state), std::move(saved)});
    }
    std::sort(read.begin(), read.end(), [](const Read &a, const Read &b) {
        return std::tie(a.position, a.row.id) < std::tie(b.position, b.row.id);
    });
    for (Read &each : read) {
        role.add(each.state);
        row.states[each.state] = std::move(each.row);
    }
}

void LibraryDocument::save() {
    LibraryTransaction transaction(m_library.database(), m_library.address().text());
    Snapshot next = writeChanges(*m_document);
    transaction.commit();
    m_snapshot = std::move(next);
}

void LibraryDocument::write(const StateDocument &document) {
    m_snapshot = Snapshot();
    m_snapshot = writeChanges(document);
}

LibraryDocument::Snapshot LibraryDocument::writeChanges(const StateDocument &document) const {
    Snapshot next;
    next.documentId = writeDocument(document, m_snapshot);
    next.properties = propertiesOf(document);
    int position = 0;
    for (const BenchRole &role : document.roles()) {
        const auto was = m_snapshot.roles.find(role.name());
        next.roles[role.name()] = writeRole(next.documentId, role, position++,
                                            was == m_snapshot.roles.end() ? nullptr : &was->second);
    }
    for (const auto &[name, row] : m_snapshot.roles) {
        if (!next.roles.count(name))
            removeRole(name, row);
    }
    return next;
}

qint64 LibraryDocument::writeDocument(const StateDocument &document, const Snapshot &was) const {
    const QByteArray properties = propertiesOf(document);
    if (was.documentId >= 0) {
        if (properties != was.properties)
            m_library.run(QStringLiteral("UPDATE documents SET properties = ? WHERE id = ?"),
                          {properties, was.documentId}, kWrite);
        return was.documentId;
    }
    // Another station may be making it at the same moment: then its row is this one's too.
    m_library.run(QStringLiteral("INSERT INTO documents (name, properties) VALUES (?, ?) ON "
                                 "CONFLICT (name) DO NOTHING"),
                  {m_name, properties}, kWrite);
    return m_library.documentId(m_name);
}

LibraryDocument::RoleRow LibraryDocument::writeRole(qint64 documentId, const BenchRole &role,
                                                    int position, const RoleRow *was) const {
    RoleRow now;
    now.position = position;
    now.resource = role.resource();
    now.profile = role.profile();
    now.safetyCapture = role.safetyCapture();
    now.undo = role.history().toContents();
    const QVariantList values{role.resource(), role.profile(), role.safetyCapture(), position};
    const QString findRole =
        QStringLiteral("SELECT id FROM roles WHERE document_id = ? AND name = ?");
    // A role another station added since this one read the document is the same role.
    now.id = was ? was->id : m_library.idOf(findRole, {documentId, role.name()});
    if (now.id < 0) {
        m_library.run(QStringLiteral("INSERT INTO roles (resource, profile, safety_capture, "
                                     "position, document_id, name) VALUES (?, ?, ?, ?, ?, ?) ON "
                                     "CONFLICT (document_id, name) DO NOTHING"),
                      values + QVariantList{documentId, role.name()}, kWrite);
        now.id = m_library.idOf(findRole, {documentId, role.name()});
    } else if (was && (now.resource != was->resource || now.profile != was->profile ||
                       now.safetyCapture != was->safetyCapture || position != was->position)) {
        m_library.run(QStringLiteral("UPDATE roles SET resource = ?, profile = ?, "
                                     "safety_capture = ?, position = ? WHERE id = ?"),
                      values + QVariantList{now.id}, kWrite);
    }
    if (now.undo != (was ? was->undo : QByteArray())) {
        // Two programs of one station may save at once: the later one's history stays.
        m_library.run(QStringLiteral("INSERT INTO undo_history (role_id, station, contents) "
                                     "VALUES (?, ?, ?) ON CONFLICT (role_id, station) DO UPDATE "
                                     "SET contents = excluded.contents"),
                      {now.id, m_here.station, now.undo}, kWrite);
    }
    static const RoleRow none;
    writeStates(role, was ? *was : none, now);
    return now;
}

void LibraryDocument::writeStates(const BenchRole &role, const RoleRow &was, RoleRow &now) const {
    LibraryStateRows rows(m_library, now.id, role.name(), m_here);
    const auto states = role.states();
    const QSet<ItemStateInfo *> kept = [&] {
        QSet<ItemStateInfo *> set;
        for (const auto &state : states)
            set.insert(state.get());
        return set;
    }();
    for (const auto &[state, row] : was.states) {
        if (kept.contains(state.get()))
            continue;
        if (row.released)
            LibraryErrors::refuse(ErrorNumber::PermissionDenied,
                                  QStringLiteral("State %1 is released: it is never removed. "
                                                 "Nothing was changed.")
                                      .arg(row.name));
        rows.remove(row.id, row.version, row.name);
    }
    int last = -1;
    const auto nextPosition = [&] {
        if (last < 0)
            last = rows.lastPosition();
        return ++last;
    };
    for (const auto &state : states) {
        const auto found = was.states.find(state);
        if (found == was.states.end()) {
            now.states[state] = {rows.insert(*state, nextPosition()), 1, state->Name(),
                                 state->Description(), false};
            continue;
        }
        StateRow row = found->second;
        if (state->Name() != row.name || state->Description() != row.description) {
            if (row.released)
                LibraryErrors::refuse(
                    ErrorNumber::PermissionDenied,
                    QStringLiteral("State %1 is released: it changes only by a new version. "
                                   "Nothing was changed.")
                        .arg(row.name));
            // A renamed state moves to the end of the list, as it does in the document.
            rows.update(row.id, row.version, row.name, *state,
                        state->Name() != row.name ? nextPosition() : -1);
            row = {row.id, row.version + 1, state->Name(), state->Description(), false};
        }
        now.states[state] = row;
    }
}

void LibraryDocument::removeRole(const QString &name, const RoleRow &was) const {
    LibraryStateRows rows(m_library, was.id, name, m_here);
    for (const auto &[state, row] : was.states)
        rows.remove(row.id, row.version, row.name);
    QSqlQuery left =
        m_library.run(QStringLiteral("SELECT name FROM states WHERE role_id = ?"), {was.id});
    if (left.next())
        LibraryErrors::refuse(ErrorNumber::WriteConflict,
                              QStringLiteral("Another station saved state %1 of %2 since this "
                                             "document was read. Your change was not saved; "
                                             "reload the document and try again.")
                                  .arg(left.value(0).toString(), name));
    m_library.run(QStringLiteral("DELETE FROM undo_history WHERE role_id = ?"), {was.id}, kWrite);
    m_library.run(QStringLiteral("DELETE FROM roles WHERE id = ?"), {was.id}, kWrite);
}

// The host's own properties; the lists are in their own tables.
QByteArray LibraryDocument::propertiesOf(const StateDocument &document) {
    const PropertyBag all = document.toBag();
    PropertyBag own;
    for (const QString &name : all.names()) {
        if (name != HostDocument::kStateListKey && name != StateDocument::kBenchKey &&
            name != StateDocument::kFormatVersionKey)
            own.WriteProperty(name, all.ReadProperty(name));
    }
    return own.count() == 0 ? QByteArray() : own.Contents();
}

LibraryDocument::StateRow &LibraryDocument::savedRow(const QString &role, const QString &state) {
    if (StateRow *row = rowIn(m_snapshot.roles, role, state))
        return *row;
    LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                        QStringLiteral("State %1 is not saved in the library at %2 yet")
                            .arg(state, m_library.address().text()));
}

int LibraryDocument::versionOf(const QString &role, const QString &state) const {
    const StateRow *row = rowIn(m_snapshot.roles, role, state);
    return row ? row->version : 0;
}

qint64 LibraryDocument::roleId(const QString &role) const {
    const auto found = m_snapshot.roles.find(role);
    return found == m_snapshot.roles.end() ? -1 : found->second.id;
}

LibraryHistory LibraryDocument::history(const QString &role) {
    return LibraryHistory(m_library, roleId(role));
}

void LibraryDocument::release(const QString &role, const QString &state) {
    StateRow &row = savedRow(role, state);
    LibraryTransaction transaction(m_library.database(), m_library.address().text());
    LibraryStateRows(m_library, roleId(role), role, m_here).release(row.id, row.version, state);
    transaction.commit();
    row.version += 1;
    row.released = true;
}

void LibraryDocument::revise(const QString &role, const QString &state,
                             const ItemStateInfo &captured) {
    StateRow &row = savedRow(role, state);
    std::shared_ptr<ItemStateInfo> item = m_document->role(role).state(state);
    ItemStateInfo revised;
    revised.setName(item->Name());
    revised.setDescription(item->Description());
    revised.setModel(captured.Model());
    revised.setVersion(captured.Version());
    revised.setData(captured.data());
    LibraryTransaction transaction(m_library.database(), m_library.address().text());
    LibraryStateRows(m_library, roleId(role), role, m_here).revise(row.id, row.version, revised);
    transaction.commit();
    item->setModel(captured.Model());
    item->setVersion(captured.Version());
    item->setData(captured.data());
    row.version += 1;
}

} // namespace ixo
