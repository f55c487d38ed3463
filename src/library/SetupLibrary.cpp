#include "library/SetupLibrary.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryDocument.h"
#include "library/LibraryErrors.h"
#include "library/LibraryTransaction.h"
#include "model/StateDocument.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUuid>

namespace ixo {

namespace {

// The model leaves texts it was never given null; the columns take them as empty.
QVariant notNull(const QVariant &value) {
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QStringLiteral("");
    if (value.typeId() == QMetaType::QByteArray && value.toByteArray().isNull())
        return QByteArray("");
    return value;
}

} // namespace

SetupLibrary::SetupLibrary(const LibraryAddress &address, LibrarySchema::Missing missing)
    : m_address(address)
    , m_connection(QStringLiteral("ixo-library-") +
                   QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    m_database = QSqlDatabase::addDatabase(m_address.driver(), m_connection);
    try {
        open(missing);
    } catch (...) {
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
        throw;
    }
}

SetupLibrary::~SetupLibrary() {
    m_database.close();
    // The connection can go only once no handle to it is left.
    m_database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

void SetupLibrary::open(LibrarySchema::Missing missing) {
    if (!m_database.isValid())
        LibraryErrors::fail(ErrorNumber::CannotCreateObject,
                            QStringLiteral("the library at %1 cannot be opened: the Qt SQL driver "
                                           "%2 is not installed")
                                .arg(m_address.text(), m_address.driver()));
    // SQLite would make an empty file of a mistyped path.
    if (m_address.kind() == LibraryAddress::Kind::Sqlite &&
        missing == LibrarySchema::Missing::Fails && !QFileInfo::exists(m_address.database()))
        LibraryErrors::fail(
            ErrorNumber::FileNotFound,
            QStringLiteral("the library at %1 does not exist").arg(m_address.text()));
    m_database.setDatabaseName(m_address.database());
    if (m_address.kind() == LibraryAddress::Kind::Postgresql)
        configurePostgresql();
    else
        // Stations sharing one file wait for each other's writes.
        m_database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    if (!m_database.open())
        LibraryErrors::failed(m_address.text(), QStringLiteral("be opened"),
                              m_database.lastError());
    // Times are kept and read in UTC, whatever the server's zone.
    if (m_address.kind() == LibraryAddress::Kind::Postgresql) {
        // Notices would go to the terminal; errors come back with the statement that failed.
        QSqlQuery session(m_database);
        if (!session.exec(QStringLiteral("SET TIME ZONE 'UTC'")) ||
            !session.exec(QStringLiteral("SET client_min_messages TO error")))
            LibraryErrors::failed(m_address.text(), QStringLiteral("be opened"),
                                  session.lastError());
    }
    LibrarySchema::prepare(m_database, m_address.text(), missing);
}

// Whatever the address leaves out (host, user, password, TLS) libpq takes from its environment,
// ~/.pgpass and service files, as every other PostgreSQL client does.
void SetupLibrary::configurePostgresql() {
    if (!m_address.host().isEmpty())
        m_database.setHostName(m_address.host());
    if (m_address.port() > 0)
        m_database.setPort(m_address.port());
    if (!m_address.user().isEmpty())
        m_database.setUserName(m_address.user());
    m_database.setConnectOptions(m_address.options());
}

QSqlQuery SetupLibrary::run(const QString &statement, const QVariantList &values,
                            const QString &doing) {
    QSqlQuery query(m_database);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        LibraryErrors::failed(m_address.text(), doing, query.lastError());
    for (const QVariant &value : values)
        query.addBindValue(notNull(value));
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        // PostgreSQL ignores everything but a rollback after a failed statement, even the
        // release of this one.
        if (m_address.kind() == LibraryAddress::Kind::Postgresql)
            QSqlQuery(m_database).exec(QStringLiteral("ROLLBACK"));
        LibraryErrors::failed(m_address.text(), doing, error);
    }
    return query;
}

// Read back by a key rather than lastInsertId(), which QPSQL cannot give for identity columns.
qint64 SetupLibrary::idOf(const QString &statement, const QVariantList &values) {
    QSqlQuery query = run(statement, values, QStringLiteral("be read"));
    return query.next() ? query.value(0).toLongLong() : -1;
}

qint64 SetupLibrary::documentId(const QString &name) {
    return idOf(QStringLiteral("SELECT id FROM documents WHERE name = ?"), {name});
}

QStringList SetupLibrary::documents() {
    QSqlQuery query = run(QStringLiteral("SELECT name FROM documents ORDER BY name"), {},
                          QStringLiteral("be read"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

bool SetupLibrary::contains(const QString &name) {
    return documentId(name) >= 0;
}

void SetupLibrary::importDocument(const QString &name, const StateDocument &document,
                                  Replace replace) {
    LibraryTransaction transaction(m_database, m_address.text());
    const qint64 existing = documentId(name);
    if (existing >= 0 && replace == Replace::No)
        LibraryErrors::refuse(ErrorNumber::DuplicateKey,
                              QStringLiteral("The library at %1 has a document %2 already. "
                                             "Nothing was changed.")
                                  .arg(m_address.text(), name));
    if (existing >= 0)
        removeDocument(existing);
    LibraryDocument(*this, name).write(document);
    transaction.commit();
}

// Without relying on ON DELETE CASCADE: SQLite enforces it only when asked on each connection.
void SetupLibrary::removeDocument(qint64 id) {
    const QString doing = QStringLiteral("be written");
    const QString roles = QStringLiteral("(SELECT id FROM roles WHERE document_id = ?)");
    run(QStringLiteral("DELETE FROM undo_history WHERE role_id IN ") + roles, {id}, doing);
    run(QStringLiteral("DELETE FROM states WHERE role_id IN ") + roles, {id}, doing);
    run(QStringLiteral("DELETE FROM roles WHERE document_id = ?"), {id}, doing);
    run(QStringLiteral("DELETE FROM documents WHERE id = ?"), {id}, doing);
}

StateDocument SetupLibrary::exportDocument(const QString &name,
                                           std::shared_ptr<IxoResource> texts) {
    LibraryDocument document(*this, name);
    document.read(std::move(texts), LibrarySchema::Missing::Fails);
    return std::move(document.document());
}

} // namespace ixo
