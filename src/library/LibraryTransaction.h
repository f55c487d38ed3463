#pragma once

#include "automation/Export.h"

#include <QSqlDatabase>
#include <QString>

namespace ixo {

// A transaction rolled back unless committed, so that a failure part-way changes nothing.
class IXO_EXPORT LibraryTransaction {
public:
    LibraryTransaction(QSqlDatabase &database, QString address);
    ~LibraryTransaction();
    LibraryTransaction(const LibraryTransaction &) = delete;
    LibraryTransaction &operator=(const LibraryTransaction &) = delete;

    void commit();

private:
    void run(const QString &statement, const QString &doing);

    QSqlDatabase &m_database;
    QString m_address;
    bool m_open = true;
};

} // namespace ixo
