#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// An instrument error raised while running a command; it goes to the error queue. The detail
// says what failed; the families of real instruments leave it out.
struct IXO_EXPORT ScpiError {
    int code = 0;
    QString message;
    QString detail;

    [[noreturn]] static void raise(int code, const char *message, const QString &detail = {}) {
        throw ScpiError{code, QString::fromLatin1(message), detail};
    }

    QString text(bool withDetail) const {
        return withDetail && !detail.isEmpty()
                   ? QStringLiteral("%1,\"%2; %3\"").arg(code).arg(message, detail)
                   : QStringLiteral("%1,\"%2\"").arg(code).arg(message);
    }
};

} // namespace ixo
