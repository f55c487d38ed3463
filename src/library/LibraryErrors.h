#pragma once

#include "automation/Export.h"

#include <QSqlError>
#include <QString>
#include <cstdint>

namespace ixo {

// How the setup library reports: failures as AutomationError, refusals as RefusedChange, both
// naming the library's address.
class IXO_EXPORT LibraryErrors {
public:
    static const QString kSource;

    [[noreturn]] static void fail(std::int32_t number, const QString &description);
    [[noreturn]] static void refuse(std::int32_t number, const QString &description);
    // A statement the database refused: what was being done, and the driver's own words.
    // A server that cannot be reached and a permission refused are told apart from other
    // failures.
    [[noreturn]] static void failed(const QString &address, const QString &doing,
                                    const QSqlError &error);

private:
    static bool isUnreachable(const QSqlError &error);
    static bool isLostConnection(const QSqlError &error);
    static QString wordsOf(const QSqlError &error);
};

} // namespace ixo
