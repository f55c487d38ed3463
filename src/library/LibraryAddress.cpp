#include "library/LibraryAddress.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryErrors.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace ixo {

namespace {

const QString kSqlite = QStringLiteral("sqlite:");
// libpq takes both schemes.
const QString kPostgresql = QStringLiteral("postgresql://");
const QString kPostgres = QStringLiteral("postgres://");
const QString kDocument = QStringLiteral("document");

} // namespace

bool LibraryAddress::isLibraryAddress(const QString &text) {
    return text.startsWith(kSqlite, Qt::CaseInsensitive) ||
           text.startsWith(kPostgresql, Qt::CaseInsensitive) ||
           text.startsWith(kPostgres, Qt::CaseInsensitive);
}

LibraryAddress LibraryAddress::parse(const QString &text) {
    LibraryAddress address(text);
    if (text.startsWith(kSqlite, Qt::CaseInsensitive))
        address.parseSqlite();
    else if (isLibraryAddress(text))
        address.parsePostgresql();
    else
        address.refuse(QStringLiteral("it starts with neither sqlite: nor postgresql://"));
    return address;
}

LibraryAddress::LibraryAddress(QString text)
    : m_text(std::move(text)) {}

QString LibraryAddress::driver() const {
    return m_kind == Kind::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

void LibraryAddress::parseSqlite() {
    m_kind = Kind::Sqlite;
    const QString rest = m_text.mid(kSqlite.size());
    const qsizetype query = rest.indexOf(QLatin1Char('?'));
    m_database = rest.left(query);
    if (m_database.isEmpty())
        refuse(QStringLiteral("it names no database file"));
    if (query >= 0 && !readQuery(rest.mid(query + 1)).isEmpty())
        refuse(QStringLiteral("SQLite takes no option but document="));
}

void LibraryAddress::parsePostgresql() {
    m_kind = Kind::Postgresql;
    // Looked at before parsing, so that no message repeats a password.
    const QString authority =
        m_text.section(QStringLiteral("://"), 1).section(QLatin1Char('/'), 0, 0);
    if (authority.section(QLatin1Char('@'), 0, -2).contains(QLatin1Char(':')))
        refusePassword();
    const QUrl url(m_text, QUrl::StrictMode);
    if (!url.isValid())
        refuse(url.errorString());
    m_user = url.userName();
    m_host = url.host();
    m_port = url.port(-1);
    m_database = url.path().mid(1);
    m_options = readQuery(url.query(QUrl::FullyDecoded));
    // A service file may name it instead.
    if (m_database.isEmpty() && !m_options.contains(QStringLiteral("service=")))
        refuse(QStringLiteral("it names no database (nor a service= that does)"));
}

QString LibraryAddress::readQuery(const QString &query) {
    QStringList options;
    for (const auto &[key, value] : QUrlQuery(query).queryItems(QUrl::FullyDecoded)) {
        if (key.compare(QStringLiteral("password"), Qt::CaseInsensitive) == 0)
            refusePassword();
        if (key == kDocument) {
            if (value.isEmpty())
                refuse(QStringLiteral("document= names no document"));
            m_document = value;
        } else {
            options << key + QLatin1Char('=') + value;
        }
    }
    return options.join(QLatin1Char(';'));
}

void LibraryAddress::refuse(const QString &why) const {
    LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                        QStringLiteral("%1 is no library address: %2").arg(m_text, why));
}

void LibraryAddress::refusePassword() {
    LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                        QStringLiteral("a library address holds no password: keep it in "
                                       "~/.pgpass or a service file instead"));
}

} // namespace ixo
