#include "library/LibraryStateRows.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryErrors.h"
#include "library/SetupLibrary.h"
#include "library/StateData.h"
#include "model/BenchRole.h"
#include "model/ItemStateInfo.h"

namespace ixo {

namespace {

const QString kRowWrite = QStringLiteral("be written");

} // namespace

LibraryStateRows::LibraryStateRows(SetupLibrary &library, qint64 roleId, QString roleName,
                                   ChangeRecord here)
    : m_library(library)
    , m_roleId(roleId)
    , m_roleName(std::move(roleName))
    , m_here(std::move(here)) {}

int LibraryStateRows::lastPosition() {
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT MAX(position) FROM states WHERE role_id = ?"), {m_roleId});
    return query.next() && !query.value(0).isNull() ? query.value(0).toInt() : -1;
}

qint64 LibraryStateRows::insert(const ItemStateInfo &state, int position) {
    checkFree(state.Name(), -1);
    const StateData data = StateData::fromVariant(state.data());
    m_library.run(QStringLiteral("INSERT INTO states (role_id, name, description, model, version, "
                                 "data_kind, data, position, changed_by, station) VALUES (?, ?, "
                                 "?, ?, ?, ?, ?, ?, ?, ?)"),
                  {m_roleId, state.Name(), state.Description(), state.Model(), state.Version(),
                   data.kind(), data.bytes(), position, m_here.user, m_here.station},
                  kRowWrite);
    const qint64 id =
        m_library.idOf(QStringLiteral("SELECT id FROM states WHERE role_id = ? AND name = ?"),
                       {m_roleId, state.Name()});
    addVersion(id, QStringLiteral("captured"), true);
    return id;
}

void LibraryStateRows::update(qint64 id, int version, const QString &wasNamed,
                              const ItemStateInfo &state, int position) {
    checkUnchanged(id, version, wasNamed);
    checkFree(state.Name(), id);
    // A state keeps its place unless it moved.
    m_library.run(
        QStringLiteral("UPDATE states SET name = ?, description = ?, position = CASE WHEN ? < 0 "
                       "THEN position ELSE ? END, row_version = row_version + 1, changed_by = ?, "
                       "station = ?, changed_at = CURRENT_TIMESTAMP WHERE id = ? AND "
                       "row_version = ?"),
        {state.Name(), state.Description(), position, position, m_here.user, m_here.station, id,
         version},
        kRowWrite);
    addVersion(id, QStringLiteral("renamed"), false);
}

void LibraryStateRows::revise(qint64 id, int version, const ItemStateInfo &state) {
    checkUnchanged(id, version, state.Name());
    const StateData data = StateData::fromVariant(state.data());
    m_library.run(QStringLiteral("UPDATE states SET model = ?, version = ?, data_kind = ?, data "
                                 "= ?, row_version = row_version + 1, changed_by = ?, station = "
                                 "?, changed_at = CURRENT_TIMESTAMP WHERE id = ? AND row_version "
                                 "= ?"),
                  {state.Model(), state.Version(), data.kind(), data.bytes(), m_here.user,
                   m_here.station, id, version},
                  kRowWrite);
    addVersion(id, QStringLiteral("revised"), true);
}

void LibraryStateRows::release(qint64 id, int version, const QString &name) {
    checkUnchanged(id, version, name);
    m_library.run(QStringLiteral("UPDATE states SET released = ?, row_version = row_version + 1, "
                                 "changed_by = ?, station = ?, changed_at = CURRENT_TIMESTAMP "
                                 "WHERE id = ? AND row_version = ?"),
                  {true, m_here.user, m_here.station, id, version}, kRowWrite);
    addVersion(id, QStringLiteral("released"), false);
}

// The version row is written first, while the state is still there to copy.
void LibraryStateRows::remove(qint64 id, int version, const QString &name) {
    checkUnchanged(id, version, name);
    m_library.run(QStringLiteral("UPDATE states SET row_version = row_version + 1, changed_by = "
                                 "?, station = ?, changed_at = CURRENT_TIMESTAMP WHERE id = ?"),
                  {m_here.user, m_here.station, id}, kRowWrite);
    addVersion(id, QStringLiteral("removed"), false);
    m_library.run(QStringLiteral("DELETE FROM states WHERE id = ?"), {id}, kRowWrite);
}

// Under PostgreSQL the row is locked from here to the commit, so no other station changes it
// between this check and the write.
void LibraryStateRows::checkUnchanged(qint64 id, int version, const QString &name) {
    const bool postgresql = m_library.address().kind() == LibraryAddress::Kind::Postgresql;
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT row_version, changed_by, station, changed_at FROM states WHERE "
                       "id = ?") +
            (postgresql ? QStringLiteral(" FOR UPDATE") : QString()),
        {id});
    if (query.next()) {
        if (query.value(0).toInt() == version)
            return;
        conflict(QStringLiteral("%1 was changed by %2")
                     .arg(label(name), ChangeRecord::read(query, 1).text()));
    }
    QSqlQuery gone = m_library.run(
        QStringLiteral("SELECT changed_by, station, changed_at FROM state_versions WHERE "
                       "state_id = ? ORDER BY row_version DESC"),
        {id});
    conflict(gone.next() ? QStringLiteral("%1 was removed by %2")
                               .arg(label(name), ChangeRecord::read(gone, 0).text())
                         : QStringLiteral("%1 was removed").arg(label(name)));
}

void LibraryStateRows::checkFree(const QString &name, qint64 id) {
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT changed_by, station, changed_at FROM states WHERE role_id = ? AND "
                       "name = ? AND id <> ?"),
        {m_roleId, name, id});
    if (query.next())
        conflict(QStringLiteral("%1 was saved by %2")
                     .arg(label(name), ChangeRecord::read(query, 0).text()));
}

void LibraryStateRows::addVersion(qint64 id, const QString &change, bool withData) {
    m_library.run(QStringLiteral("INSERT INTO state_versions (state_id, role_id, row_version, "
                                 "change, name, description, model, version, data_kind, data, "
                                 "changed_by, station, changed_at) SELECT id, role_id, "
                                 "row_version, CAST(? AS VARCHAR(16)), name, description, model, "
                                 "version, data_kind, ") +
                      (withData ? QStringLiteral("data") : QStringLiteral("CAST(NULL AS BYTEA)")) +
                      QStringLiteral(", changed_by, station, changed_at FROM states WHERE id = ?"),
                  {change, id}, kRowWrite);
}

void LibraryStateRows::conflict(const QString &what) const {
    LibraryErrors::refuse(ErrorNumber::WriteConflict,
                          QStringLiteral("%1 since this document was read from %2. Your change "
                                         "was not saved; reload the document and try again.")
                              .arg(what, m_library.address().text()));
}

QString LibraryStateRows::label(const QString &name) const {
    if (m_roleName == BenchRole::kDefaultName)
        return QStringLiteral("State %1").arg(name);
    return QStringLiteral("State %1 of %2").arg(name, m_roleName);
}

} // namespace ixo
