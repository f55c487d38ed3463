#pragma once

#include "automation/AutomationError.h"
#include "automation/Export.h"

namespace ixo {

// A change the list's rules refuse: a name already taken, or a state of another instrument.
// Nothing was changed.
class IXO_EXPORT RefusedChange : public AutomationError {
public:
    using AutomationError::AutomationError;
};

} // namespace ixo
