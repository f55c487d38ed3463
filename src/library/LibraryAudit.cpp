#include "library/LibraryAudit.h"

#include "library/LibraryTransaction.h"
#include "library/SetupLibrary.h"

namespace ixo {

QJsonObject LibraryAudit::Restore::toJson() const {
    return {{QStringLiteral("time"), by.at.toString(Qt::ISODate)},
            {QStringLiteral("user"), by.user},
            {QStringLiteral("station"), by.station},
            {QStringLiteral("document"), document},
            {QStringLiteral("role"), role},
            {QStringLiteral("state"), state},
            {QStringLiteral("version"), version},
            {QStringLiteral("instrument"), instrument}};
}

LibraryAudit::LibraryAudit(SetupLibrary &library)
    : m_library(library) {}

void LibraryAudit::record(const Restore &restore) {
    LibraryTransaction transaction(m_library.database(), m_library.address().text());
    m_library.run(QStringLiteral("INSERT INTO restores (document, role, state, state_version, "
                                 "user_name, station, instrument) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                  {restore.document, restore.role, restore.state, restore.version, restore.by.user,
                   restore.by.station, restore.instrument},
                  QStringLiteral("be written"));
    transaction.commit();
}

std::vector<LibraryAudit::Restore> LibraryAudit::since(const QDateTime &since) {
    const QDateTime from =
        since.isValid() ? since.toUTC() : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    QSqlQuery query = m_library.run(
        QStringLiteral("SELECT document, role, state, state_version, instrument, user_name, "
                       "station, restored_at FROM restores WHERE restored_at >= ? ORDER BY "
                       "restored_at, id"),
        {from.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
    std::vector<Restore> restores;
    while (query.next())
        restores.push_back({query.value(0).toString(), query.value(1).toString(),
                            query.value(2).toString(), query.value(3).toInt(),
                            query.value(4).toString(), ChangeRecord::read(query, 5)});
    return restores;
}

} // namespace ixo
