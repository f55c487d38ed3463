#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// Where a setup library is and which of its documents is meant:
//   postgresql://[user@]host[:port]/database[?document=NAME&libpq-option=value...]
//   sqlite:PATH[?document=NAME]
// A password is never part of an address: it would end up in shell histories and process
// lists; libpq finds it in ~/.pgpass instead.
class IXO_EXPORT LibraryAddress {
public:
    enum class Kind { Sqlite, Postgresql };

    // Whether text is meant as a library address rather than a file path.
    static bool isLibraryAddress(const QString &text);
    // Raises InvalidProcedureCall for an address it cannot use, saying why.
    static LibraryAddress parse(const QString &text);

    Kind kind() const { return m_kind; }
    // The Qt SQL driver that reaches it.
    QString driver() const;
    // The address as given, for messages.
    const QString &text() const { return m_text; }
    // The database file of SQLite, the database name of PostgreSQL.
    const QString &database() const { return m_database; }
    const QString &host() const { return m_host; }
    const QString &user() const { return m_user; }
    // -1 for the driver's default.
    int port() const { return m_port; }
    // Further libpq options, as QSqlDatabase::setConnectOptions takes them.
    const QString &options() const { return m_options; }
    // Empty when the address names none.
    const QString &document() const { return m_document; }

private:
    explicit LibraryAddress(QString text);
    void parseSqlite();
    void parsePostgresql();
    // Takes document= and hands back the other options; a password is refused.
    QString readQuery(const QString &query);
    [[noreturn]] void refuse(const QString &why) const;
    [[noreturn]] static void refusePassword();

    QString m_text;
    Kind m_kind = Kind::Sqlite;
    QString m_database;
    QString m_host;
    QString m_user;
    int m_port = -1;
    QString m_options;
    QString m_document;
};

} // namespace ixo
