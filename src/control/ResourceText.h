#pragma once

#include "automation/Export.h"

#include <QString>
#include <cstdint>

namespace ixo {

// A text of the thread's current resource provider; fails with error 91 when there is none.
class IXO_EXPORT ResourceText {
public:
    static QString get(std::int32_t id);
};

} // namespace ixo
