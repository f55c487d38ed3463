#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// An instrument reached over a connection: it has a resource to show, and an exchange in
// progress can be ended from another thread, so that a window waiting on it stays in the user's
// hands.
class IXO_EXPORT CancellableInstrument {
public:
    virtual ~CancellableInstrument() = default;

    virtual QString resourceName() const = 0;
    // Safe from any thread: the call waiting on the instrument fails, and the next one opens
    // the connection anew.
    virtual void cancel() = 0;

protected:
    CancellableInstrument() = default;
    CancellableInstrument(const CancellableInstrument &) = default;
    CancellableInstrument &operator=(const CancellableInstrument &) = default;
};

} // namespace ixo
