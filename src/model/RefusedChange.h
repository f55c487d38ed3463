#pragma once

#include "automation/AutomationError.h"

namespace ixo {

// A change the list's rules refuse: a name already taken, or a state of another instrument.
// Nothing was changed.
class RefusedChange : public AutomationError {
public:
    using AutomationError::AutomationError;
};

} // namespace ixo
