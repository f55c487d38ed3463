#include "library/LibraryTransaction.h"

#include "library/LibraryErrors.h"

#include <QSqlError>

namespace ixo {

LibraryTransaction::LibraryTransaction(QSqlDatabase &database, QString address)
    : m_database(database)
    , m_address(std::move(address)) {
    if (!m_database.transaction())
        LibraryErrors::failed(m_address, QStringLiteral("start a transaction"),
                              m_database.lastError());
}

LibraryTransaction::~LibraryTransaction() {
    if (m_open)
        m_database.rollback();
}

void LibraryTransaction::commit() {
    if (!m_database.commit())
        LibraryErrors::failed(m_address, QStringLiteral("commit"), m_database.lastError());
    m_open = false;
}

} // namespace ixo
