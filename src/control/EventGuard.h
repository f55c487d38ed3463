#pragma once

#include "automation/Export.h"

#include <functional>

namespace ixo {

// Runs the work of a user action so that no failure reaches the event loop: whatever escapes
// is shown to the user in a critical message box.
class IXO_EXPORT EventGuard {
public:
    static void run(const std::function<void()> &work) noexcept;
};

} // namespace ixo
