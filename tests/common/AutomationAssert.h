#pragma once

#include "automation/AutomationError.h"

#include <functional>

namespace ixo::test {

// The error number an action raises, 0 when it succeeds.
inline int errorOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const AutomationError &error) {
        return error.number();
    }
    return 0;
}

// The description of the error an action raises, empty when it succeeds.
inline QString errorTextOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const AutomationError &error) {
        return error.description();
    }
    return QString();
}

} // namespace ixo::test
