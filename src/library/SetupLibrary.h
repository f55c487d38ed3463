#pragma once

#include "automation/Export.h"
#include "library/LibraryAddress.h"
#include "library/LibrarySchema.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

namespace ixo {

class IxoResource;
class StateDocument;

// A setup library: documents kept in a database instead of files, each with its bench of roles
// and their states. One connection of its own, closed with the object; used from one thread.
class IXO_EXPORT SetupLibrary {
public:
    enum class Replace { No, Yes };

    // A library that does not exist yet is created only when missing says so.
    explicit SetupLibrary(const LibraryAddress &address,
                          LibrarySchema::Missing missing = LibrarySchema::Missing::Fails);
    ~SetupLibrary();
    SetupLibrary(const SetupLibrary &) = delete;
    SetupLibrary &operator=(const SetupLibrary &) = delete;

    const LibraryAddress &address() const { return m_address; }
    QSqlDatabase &database() { return m_database; }
    QStringList documents();
    bool contains(const QString &name);
    // -1 when the library holds no document of that name.
    qint64 documentId(const QString &name);
    // Every role and state of the document in one transaction; a name the library holds is
    // refused unless replace, and then the old document goes in the same transaction.
    void importDocument(const QString &name, const StateDocument &document,
                        Replace replace = Replace::No);
    // The document as it was imported, roles and states in their order.
    StateDocument exportDocument(const QString &name, std::shared_ptr<IxoResource> texts);
    // Deletes a document's roles and states (their versions stay) inside the caller's
    // transaction.
    void removeDocument(qint64 id);

    // A prepared statement run with values in order; doing says what failed ("be read").
    QSqlQuery run(const QString &statement, const QVariantList &values = {},
                  const QString &doing = QStringLiteral("be read"));
    // The first column of the first row, or -1.
    qint64 idOf(const QString &statement, const QVariantList &values);

private:
    void open(LibrarySchema::Missing missing);
    void configurePostgresql();

    LibraryAddress m_address;
    QString m_connection;
    QSqlDatabase m_database;
};

} // namespace ixo
