#pragma once

#include "automation/Export.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QString>

namespace ixo {

// Who changed a row of the library, from which station and when, as conflict messages,
// histories and the audit trail tell it.
struct IXO_EXPORT ChangeRecord {
    QString user;
    QString station;
    QDateTime at;

    // The user and station of this process: IXO_STATION names the station where the host name
    // would not tell two stations apart.
    static ChangeRecord here();
    // Three columns of a query, from first on: user, station, time.
    static ChangeRecord read(const QSqlQuery &query, int first);
    // The library's times are UTC, whichever database they come from.
    static QDateTime timeOf(const QVariant &value);
    // "alice on station-3 at 2026-12-08 09:14:02"
    QString text() const;
    // Local time, to the second.
    static QString timeText(const QDateTime &at);
};

} // namespace ixo
