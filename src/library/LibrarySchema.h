#pragma once

#include "automation/Export.h"

#include <QSqlDatabase>
#include <QString>

namespace ixo {

// The library's tables, readable by a DBA: schema_version, documents, roles (the bench of each
// document), states and every version of them (state_versions), the restores done (restores)
// and each station's undo history. A library of a newer schema is refused before anything is read
// or written, as a document of a newer format is.
class IXO_EXPORT LibrarySchema {
public:
    // The newest schema this version reads and writes.
    static constexpr int kVersion = 2;

    enum class Missing { Fails, IsCreated };

    // Creates the tables in one transaction when there are none (or fails), brings an older
    // schema up to date; refuses a schema newer than kVersion.
    static void prepare(QSqlDatabase &database, const QString &address, Missing missing);
    // 0 for a database without the library's tables.
    static int versionOf(QSqlDatabase &database, const QString &address);

private:
    static void upgrade(QSqlDatabase &database, const QString &address);
    // The one statement that differs between the drivers' dialects: an identity key and a
    // byte column.
    static QString dialect(const QSqlDatabase &database, QString statement);
};

} // namespace ixo
