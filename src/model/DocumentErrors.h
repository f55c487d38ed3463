#pragma once

#include "automation/Export.h"

#include <QString>
#include <cstdint>

namespace ixo {

// How the document model reports: failures as AutomationError, refusals of its rules as
// RefusedChange, with the catalogue's line ends made plain for terminals and Python.
class IXO_EXPORT DocumentErrors {
public:
    static const QString kSource;

    [[noreturn]] static void fail(std::int32_t number, const QString &description);
    [[noreturn]] static void refuse(std::int32_t number, const QString &description);
    static QString plain(QString text);
};

} // namespace ixo
