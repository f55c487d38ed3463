#include "model/DocumentErrors.h"

#include "model/RefusedChange.h"

namespace ixo {

const QString DocumentErrors::kSource = QStringLiteral("IxoInstrSetups.StateDocument");

void DocumentErrors::fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kSource, plain(description));
}

void DocumentErrors::refuse(std::int32_t number, const QString &description) {
    throw RefusedChange(number, kSource, plain(description));
}

QString DocumentErrors::plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace ixo
