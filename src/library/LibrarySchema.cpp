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

const char *const kTables[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL, applied_at TIMESTAMP NOT NULL "
    "DEFAULT CURRENT_TIMESTAMP)",
    "CREATE TABLE documents (id %ID%, name VARCHAR(255) NOT NULL UNIQUE, created_at TIMESTAMP "
    "NOT NULL DEFAULT CURRENT_TIMESTAMP)",
    "CREATE TABLE roles (id %ID%, document_id INTEGER NOT NULL REFERENCES documents(id) ON "
    "DELETE CASCADE, name VARCHAR(255) NOT NULL, resource TEXT NOT NULL, profile TEXT NOT NULL, "
    "position INTEGER NOT NULL, UNIQUE (document_id, name))",
    "CREATE TABLE states (id %ID%, role_id INTEGER NOT NULL REFERENCES roles(id) ON DELETE "
    "CASCADE, name VARCHAR(255) NOT NULL, description TEXT NOT NULL, model TEXT NOT NULL, "
    "version TEXT NOT NULL, data_kind VARCHAR(16) NOT NULL, data %BLOB% NOT NULL, position "
    "INTEGER NOT NULL, row_version INTEGER NOT NULL DEFAULT 1, changed_by TEXT NOT NULL, "
    "changed_at TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP, UNIQUE (role_id, name))",
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
    if (version > 0)
        return;
    if (missing == Missing::Fails)
        LibraryErrors::fail(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("%1 is not a setup library: it has no %2 table")
                                .arg(address, kVersionTable));
    create(database, address);
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

void LibrarySchema::create(QSqlDatabase &database, const QString &address) {
    LibraryTransaction transaction(database, address);
    for (const char *table : kTables)
        run(database, address, dialect(database, QString::fromLatin1(table)));
    run(database, address,
        QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(kVersion));
    transaction.commit();
}

QString LibrarySchema::dialect(const QSqlDatabase &database, QString statement) {
    const bool postgresql = database.driverName() == QLatin1String("QPSQL");
    return statement
        .replace(QStringLiteral("%ID%"), postgresql ? QStringLiteral("INTEGER GENERATED ALWAYS AS "
                                                                     "IDENTITY PRIMARY KEY")
                                                    : QStringLiteral("INTEGER PRIMARY KEY"))
        .replace(QStringLiteral("%BLOB%"),
                 postgresql ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"));
}

} // namespace ixo
