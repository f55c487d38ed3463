#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// The key under which names compare without regard to letter case.
class IXO_EXPORT CaseFold {
public:
    // Same result as QString::toCaseFolded(), without its Unicode tables for ASCII text, the
    // usual case for property names and state names.
    static QString fold(const QString &text);
};

} // namespace ixo
