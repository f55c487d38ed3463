#include "library/LibrarySchema.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryErrors.h"
#include "library/LibraryTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace ixo {

namespace {

const QString kVersionTable = QStringLiteral("schema_version");

// The first schema, as the first version made it; later ones are steps from it, so that a new
// library and a migrated one are the same.
const char *const kTables[] = {
    ("CREATE TABLE schema_version (version INTEGER NOT NULL, applied_at TIMESTAMP NOT NULL "
     "DEFAULT CURRENT_TIMESTAMP)"),
    ("CREATE TABLE documents (id %ID%, name VARCHAR(255) NOT NULL UNIQUE, created_at TIMESTAMP "
     "NOT NULL DEFAULT CURRENT_TIMESTAMP)"),
    ("CREATE TABLE roles (id %ID%, document_id INTEGER NOT NULL REFERENCES documents(id) ON "
     "DELETE CASCADE, name VARCHAR(255) NOT NULL, resource TEXT NOT NULL, profile TEXT NOT NULL, "
     "position INTEGER NOT NULL, UNIQUE (document_id, name))"),
    ("CREATE TABLE states (id %ID%, role_id INTEGER NOT NULL REFERENCES roles(id) ON DELETE "
     "CASCADE, name VARCHAR(255) NOT NULL, description TEXT NOT NULL, model TEXT NOT NULL, "
     "version TEXT NOT NULL, data_kind VARCHAR(16) NOT NULL, data %BLOB% NOT NULL, position "
     "INTEGER NOT NULL, row_version INTEGER NOT NULL DEFAULT 1, changed_by TEXT NOT NULL, "
     "changed_at TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP, UNIQUE (role_id, name))"),
};

// Schema 2: every version of a state kept (history), released states, the restores done
// (audit), a role's safety setting and each station's undo history, the host's properties.
const char *const kToVersion2[] = {
    "ALTER TABLE documents ADD COLUMN properties %BLOB% NOT NULL DEFAULT ''",
    "ALTER TABLE roles ADD COLUMN safety_capture BOOLEAN NOT NULL DEFAULT TRUE",
    "ALTER TABLE states ADD COLUMN station TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE states ADD COLUMN released BOOLEAN NOT NULL DEFAULT FALSE",
    // Kept after the state and its role are gone, so ids are not references.
    ("CREATE TABLE state_versions (id %ID%, state_id INTEGER NOT NULL, role_id INTEGER NOT "
     "NULL, row_version INTEGER NOT NULL, change VARCHAR(16) NOT NULL, name VARCHAR(255) NOT "
     "NULL, description TEXT NOT NULL, model TEXT NOT NULL, version TEXT NOT NULL, data_kind "
     "VARCHAR(16) NOT NULL, data %BLOB%, changed_by TEXT NOT NULL, station TEXT NOT NULL, "
     "changed_at TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP, UNIQUE (state_id, row_version))"),
    "CREATE INDEX state_versions_by_role ON state_versions (role_id, name)",
    ("INSERT INTO state_versions (state_id, role_id, row_version, change, name, description, "
     "model, version, data_kind, data, changed_by, station, changed_at) SELECT id, role_id, "
     "row_version, 'captured', name, description, model, version, data_kind, data, changed_by, "
     "station, changed_at FROM states"),
    ("CREATE TABLE restores (id %ID%, document VARCHAR(255) NOT NULL, role VARCHAR(255) NOT "
     "NULL, state VARCHAR(255) NOT NULL, state_version INTEGER NOT NULL, restored_at TIMESTAMP "
     "NOT NULL DEFAULT CURRENT_TIMESTAMP, user_name TEXT NOT NULL, station TEXT NOT NULL, "
     "instrument TEXT NOT NULL)"),
    ("CREATE TABLE undo_history (role_id INTEGER NOT NULL REFERENCES roles(id) ON DELETE "
     "CASCADE, station TEXT NOT NULL, contents %BLOB% NOT NULL, PRIMARY KEY (role_id, station))"),
};

void run(QSqlDatabase &database, const QString &address, const QString &statement) {
    QSqlQuery query(database);
    if (!query.exec(statement))
        LibraryErrors::failed(address, QStringLiteral("be written"), query.lastError());
}

} // namespace

void LibrarySchema::prepare(QSqlDatabase &database, const QString &address, Missing missing) {
    const int version = versionOf(database, address);
    if (version > kVersion)
        LibraryErrors::fail(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("The library at %1 was made by a newer version of "
                                           "IxoInstrSetups (library schema %2; this version reads "
                                           "up to %3). Nothing was changed.")
                                .arg(address)
                                .arg(version)
                                .arg(kVersion));
    if (version == 0 && missing == Missing::Fails)
        LibraryErrors::fail(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("%1 is not a setup library: it has no %2 table")
                                .arg(address, kVersionTable));
    if (version < kVersion)
        upgrade(database, address);
}

int LibrarySchema::versionOf(QSqlDatabase &database, const QString &address) {
    // QSqlDatabase::tables() takes an unreadable file for an empty one; SQLite's catalogue
    // tells them apart.
    QSqlQuery query(database);
    if (database.driverName() == QLatin1String("QSQLITE") &&
        !query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")))
        LibraryErrors::failed(address, QStringLiteral("be read"), query.lastError());
    if (!database.tables().contains(kVersionTable))
        return 0;
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !query.next())
        LibraryErrors::failed(address, QStringLiteral("be read"), query.lastError());
    return query.value(0).toInt();
}

// All steps in one transaction: a library is never left between two schemas. Stations
// opening a new library at once take turns, and the later ones find it made.
void LibrarySchema::upgrade(QSqlDatabase &database, const QString &address) {
    LibraryTransaction transaction(database, address);
    if (database.driverName() == QLatin1String("QPSQL"))
        run(database, address, QStringLiteral("SELECT pg_advisory_xact_lock(7414131)"));
    const int from = versionOf(database, address);
    const auto apply = [&](const auto &statements, int version) {
        if (from >= version)
            return;
        for (const char *statement : statements)
            run(database, address, dialect(database, QString::fromLatin1(statement)));
        run(database, address,
            QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(version));
    };
    // SQLite gives a deleted row's id to the next one unless told not to, and the versions of
    // states must never mix: the first schema's states are moved to a table that does not.
    if (from == 1 && database.driverName() == QLatin1String("QSQLITE")) {
        const QString states = QString::fromLatin1(kTables[3]);
        run(database, address,
            dialect(database, QString(states).replace(QStringLiteral("TABLE states"),
                                                      QStringLiteral("TABLE states_v2"))));
        run(database, address, QStringLiteral("INSERT INTO states_v2 SELECT * FROM states"));
        run(database, address, QStringLiteral("DROP TABLE states"));
        run(database, address, QStringLiteral("ALTER TABLE states_v2 RENAME TO states"));
    }
    apply(kTables, 1);
    apply(kToVersion2, 2);
    transaction.commit();
}

QString LibrarySchema::dialect(const QSqlDatabase &database, QString statement) {
    const bool postgresql = database.driverName() == QLatin1String("QPSQL");
    return statement
        .replace(QStringLiteral("%ID%"), postgresql ? QStringLiteral("INTEGER GENERATED ALWAYS AS "
                                                                     "IDENTITY PRIMARY KEY")
                                                    : QStringLiteral("INTEGER PRIMARY KEY "
                                                                     "AUTOINCREMENT"))
        .replace(QStringLiteral("%BLOB%"),
                 postgresql ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"));
}

} // namespace ixo
