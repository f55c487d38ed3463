#include "library/ChangeRecord.h"

#include <QSysInfo>
#include <QVariant>
#include <pwd.h>
#include <unistd.h>

namespace ixo {

ChangeRecord ChangeRecord::here() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) {
        const passwd *account = getpwuid(getuid());
        user = account ? QString::fromLocal8Bit(account->pw_name) : QString::number(getuid());
    }
    QString station = qEnvironmentVariable("IXO_STATION");
    if (station.isEmpty())
        station = QSysInfo::machineHostName();
    return {user, station, QDateTime::currentDateTimeUtc()};
}

ChangeRecord ChangeRecord::read(const QSqlQuery &query, int first) {
    return {query.value(first).toString(), query.value(first + 1).toString(),
            timeOf(query.value(first + 2))};
}

// SQLite hands back CURRENT_TIMESTAMP as text; PostgreSQL as a time the session reads in UTC.
QDateTime ChangeRecord::timeOf(const QVariant &value) {
    QDateTime at = value.typeId() == QMetaType::QDateTime
                       ? value.toDateTime()
                       : QDateTime::fromString(value.toString().left(19),
                                               QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    at.setTimeSpec(Qt::UTC);
    return at;
}

QString ChangeRecord::text() const {
    return QStringLiteral("%1 on %2 at %3").arg(user, station, timeText(at));
}

QString ChangeRecord::timeText(const QDateTime &at) {
    return at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace ixo
