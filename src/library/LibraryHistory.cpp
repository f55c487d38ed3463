#include "library/LibraryHistory.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryErrors.h"
#include "library/SetupLibrary.h"
#include "library/StateData.h"
#include "model/ItemStateInfo.h"

namespace ixo {

LibraryHistory::LibraryHistory(SetupLibrary &library, qint64 roleId)
    : m_library(library)
    , m_roleId(roleId) {}

qint64 LibraryHistory::stateId(const QString &name) {
    qint64 id = m_library.idOf(
        QStringLiteral("SELECT id FROM states WHERE role_id = ? AND name = ?"), {m_roleId, name});
    if (id < 0)
        id = m_library.idOf(QStringLiteral("SELECT state_id FROM state_versions WHERE role_id = ? "
                                           "AND name = ? ORDER BY id DESC"),
                            {m_roleId, name});
    if (id < 0)
        LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                            QStringLiteral("The library at %1 has no state %2, and had none")
                                .arg(m_library.address().text(), name));
    return id;
}

std::vector<LibraryHistory::Version> LibraryHistory::versions(const QString &name) {
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT row_version, change, name, description, model, version, "
                       "changed_by, station, changed_at FROM state_versions WHERE state_id = ? "
                       "ORDER BY row_version"),
        {stateId(name)});
    std::vector<Version> versions;
    while (query.next())
        versions.push_back({query.value(0).toInt(), query.value(1).toString(),
                            query.value(2).toString(), query.value(3).toString(),
                            query.value(4).toString(), query.value(5).toString(),
                            ChangeRecord::read(query, 6)});
    return versions;
}

// A rename keeps no copy of the setup: the one of the version before it still holds.
std::shared_ptr<ItemStateInfo> LibraryHistory::state(const QString &name, int version) {
    const qint64 id = stateId(name);
    QSqlQuery row = m_library.run(
        QStringLiteral("SELECT name, description FROM state_versions WHERE state_id = ? AND "
                       "row_version = ?"),
        {id, version});
    if (!row.next())
        LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                            QStringLiteral("State %1 has no version %2 in the library at %3")
                                .arg(name)
                                .arg(version)
                                .arg(m_library.address().text()));
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(row.value(0).toString());
    state->setDescription(row.value(1).toString());
    QSqlQuery data = m_library.run(
        QStringLiteral("SELECT model, version, data_kind, data FROM state_versions WHERE "
                       "state_id = ? AND row_version <= ? AND data IS NOT NULL ORDER BY "
                       "row_version DESC"),
        {id, version});
    if (!data.next())
        LibraryErrors::fail(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("The library at %1 keeps no setup for version %2 of "
                                           "state %3")
                                .arg(m_library.address().text())
                                .arg(version)
                                .arg(name));
    state->setModel(data.value(0).toString());
    state->setVersion(data.value(1).toString());
    state->setData(
        StateData::toVariant(data.value(2).toString(), data.value(3).toByteArray(), state->Name()));
    return state;
}

} // namespace ixo
