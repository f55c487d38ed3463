#include "library/SetupLibrary.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryErrors.h"
#include "library/LibraryTransaction.h"
#include "library/StateData.h"
#include "model/BenchRole.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"

#include <QFileInfo>
#include <QSqlError>
#include <QUuid>
#include <utility>
#include <vector>

namespace ixo {

namespace {

QString userName() {
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("USERNAME") : user;
}

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
    if (!m_database.open())
        LibraryErrors::failed(m_address.text(), QStringLiteral("be opened"),
                              m_database.lastError());
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
    if (!query.exec())
        LibraryErrors::failed(m_address.text(), doing, query.lastError());
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
    run(QStringLiteral("INSERT INTO documents (name) VALUES (?)"), {name},
        QStringLiteral("be written"));
    const qint64 id = documentId(name);
    int position = 0;
    for (const BenchRole &role : document.roles())
        writeRole(id, role, position++);
    transaction.commit();
}

// Without relying on ON DELETE CASCADE: SQLite enforces it only when asked on each connection.
void SetupLibrary::removeDocument(qint64 id) {
    const QString doing = QStringLiteral("be written");
    run(QStringLiteral("DELETE FROM states WHERE role_id IN (SELECT id FROM roles WHERE "
                       "document_id = ?)"),
        {id}, doing);
    run(QStringLiteral("DELETE FROM roles WHERE document_id = ?"), {id}, doing);
    run(QStringLiteral("DELETE FROM documents WHERE id = ?"), {id}, doing);
}

void SetupLibrary::writeRole(qint64 documentId, const BenchRole &role, int position) {
    const QString doing = QStringLiteral("be written");
    run(QStringLiteral("INSERT INTO roles (document_id, name, resource, profile, position) "
                       "VALUES (?, ?, ?, ?, ?)"),
        {documentId, role.name(), role.resource(), role.profile(), position}, doing);
    const qint64 roleId =
        idOf(QStringLiteral("SELECT id FROM roles WHERE document_id = ? AND name = ?"),
             {documentId, role.name()});
    const QString user = userName();
    int statePosition = 0;
    for (const auto &state : role.states()) {
        const StateData data = StateData::fromVariant(state->data());
        run(QStringLiteral("INSERT INTO states (role_id, name, description, model, version, "
                           "data_kind, data, position, changed_by) VALUES (?, ?, ?, ?, ?, ?, ?, "
                           "?, ?)"),
            {roleId, state->Name(), state->Description(), state->Model(), state->Version(),
             data.kind(), data.bytes(), statePosition++, user},
            doing);
    }
}

StateDocument SetupLibrary::exportDocument(const QString &name,
                                           std::shared_ptr<IxoResource> texts) {
    const qint64 id = documentId(name);
    if (id < 0)
        LibraryErrors::fail(
            ErrorNumber::FileNotFound,
            QStringLiteral("The library at %1 has no document %2").arg(m_address.text(), name));
    StateDocument document(std::move(texts));
    readRoles(id, document);
    return document;
}

void SetupLibrary::readRoles(qint64 documentId, StateDocument &document) {
    QSqlQuery query = run(QStringLiteral("SELECT id, name, resource, profile FROM roles WHERE "
                                         "document_id = ? ORDER BY position"),
                          {documentId}, QStringLiteral("be read"));
    // QPSQL reads a forward-only result row by row, and another query on the connection
    // discards what is left of it: the states are read once all roles are.
    std::vector<std::pair<qint64, QString>> roles;
    while (query.next()) {
        const QString name = query.value(1).toString();
        // A document of one instrument starts with its unnamed role.
        BenchRole *role = document.findRole(name);
        if (!role)
            role = &document.addRole(name, QString(), QString());
        role->setResource(query.value(2).toString());
        role->setProfile(query.value(3).toString());
        roles.emplace_back(query.value(0).toLongLong(), name);
    }
    for (const auto &[id, name] : roles)
        readStates(id, *document.findRole(name));
}

void SetupLibrary::readStates(qint64 roleId, BenchRole &role) {
    QSqlQuery query = run(QStringLiteral("SELECT name, description, model, version, data_kind, "
                                         "data FROM states WHERE role_id = ? ORDER BY position"),
                          {roleId}, QStringLiteral("be read"));
    while (query.next()) {
        auto state = std::make_shared<ItemStateInfo>();
        state->setName(query.value(0).toString());
        state->setDescription(query.value(1).toString());
        state->setModel(query.value(2).toString());
        state->setVersion(query.value(3).toString());
        state->setData(StateData::toVariant(query.value(4).toString(), query.value(5).toByteArray(),
                                            state->Name()));
        role.add(state);
    }
}

} // namespace ixo
