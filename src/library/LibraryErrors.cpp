#include "library/LibraryErrors.h"

#include "automation/ErrorNumber.h"
#include "model/RefusedChange.h"

namespace ixo {

const QString LibraryErrors::kSource = QStringLiteral("IxoInstrSetups.SetupLibrary");

void LibraryErrors::fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kSource, description);
}

void LibraryErrors::refuse(std::int32_t number, const QString &description) {
    throw RefusedChange(number, kSource, description);
}

void LibraryErrors::failed(const QString &address, const QString &doing, const QSqlError &error) {
    fail(ErrorNumber::InvalidFileFormat, QStringLiteral("the library at %1 cannot %2: %3")
                                             .arg(address, doing, error.text().trimmed()));
}

} // namespace ixo
