#include "library/LibraryTransaction.h"

#include "library/LibraryErrors.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ixo {

LibraryTransaction::LibraryTransaction(QSqlDatabase &database, QString address)
    : m_database(database)
    , m_address(std::move(address)) {
    // SQLite takes the write lock at once, so that two writers wait for each other rather
    // than fail when one upgrades its read lock.
    const bool sqlite = m_database.driverName() == QLatin1String("QSQLITE");
    run(sqlite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"),
        QStringLiteral("start a transaction"));
}

LibraryTransaction::~LibraryTransaction() {
    if (m_open)
        QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
}

void LibraryTransaction::commit() {
    run(QStringLiteral("COMMIT"), QStringLiteral("commit"));
    m_open = false;
}

void LibraryTransaction::run(const QString &statement, const QString &doing) {
    QSqlQuery query(m_database);
    if (!query.exec(statement))
        LibraryErrors::failed(m_address, doing, query.lastError());
}

} // namespace ixo
