#include "library/LibraryErrors.h"

#include "automation/ErrorNumber.h"
#include "model/RefusedChange.h"

#include <QRegularExpression>

namespace ixo {

const QString LibraryErrors::kSource = QStringLiteral("IxoInstrSetups.SetupLibrary");

void LibraryErrors::fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kSource, description);
}

void LibraryErrors::refuse(std::int32_t number, const QString &description) {
    throw RefusedChange(number, kSource, description);
}

// QSQLITE reports every failed statement as a connection error, with SQLite's number; libpq
// reports a lost server without an SQLSTATE, or with class 08 (connection) or 57P (shut down).
bool LibraryErrors::isUnreachable(const QSqlError &error) {
    const QString state = error.nativeErrorCode();
    if (state.startsWith(QStringLiteral("08")) || state.startsWith(QStringLiteral("57P")))
        return true;
    return state.isEmpty() &&
           (error.type() == QSqlError::ConnectionError || isLostConnection(error));
}

bool LibraryErrors::isLostConnection(const QSqlError &error) {
    const QString text = error.databaseText();
    return text.contains(QStringLiteral("server closed the connection")) ||
           text.contains(QStringLiteral("no connection to the server")) ||
           text.contains(QStringLiteral("connection to server")) ||
           text.contains(QStringLiteral("could not connect"));
}

// The server's own words, without libpq's "ERROR:" and the driver's "Unable to ..." line.
QString LibraryErrors::wordsOf(const QSqlError &error) {
    QString said = error.databaseText().trimmed();
    if (said.isEmpty())
        return error.text().trimmed();
    static const QRegularExpression severity(QStringLiteral("^(ERROR|FATAL):\\s+"));
    return said.remove(severity).section(QLatin1Char('\n'), 0, 0).trimmed();
}

void LibraryErrors::failed(const QString &address, const QString &doing, const QSqlError &error) {
    const QString said = wordsOf(error);
    if (isUnreachable(error))
        fail(ErrorNumber::DeviceUnavailable,
             QStringLiteral("The library at %1 cannot be reached (%2). Nothing was written to "
                            "it; what this program holds is kept.")
                 .arg(address, said));
    if (error.nativeErrorCode() == QLatin1String("42501"))
        fail(ErrorNumber::PermissionDenied,
             QStringLiteral("The library at %1 does not allow this user to %2 it (%3). Nothing "
                            "was changed.")
                 .arg(address, doing == QLatin1String("be read") ? "read" : "change", said));
    fail(ErrorNumber::InvalidFileFormat,
         QStringLiteral("the library at %1 cannot %2: %3").arg(address, doing, said));
}

} // namespace ixo
