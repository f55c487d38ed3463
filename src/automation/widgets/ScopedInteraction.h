#pragma once

#include "automation/Export.h"
#include "automation/widgets/Interaction.h"

namespace ixo {

// Installs an interaction for this thread for the lifetime of the scope, then puts back the
// one that was there.
class IXO_EXPORT ScopedInteraction {
public:
    explicit ScopedInteraction(InteractionRef interaction);
    ~ScopedInteraction();

    ScopedInteraction(const ScopedInteraction &) = delete;
    ScopedInteraction &operator=(const ScopedInteraction &) = delete;

private:
    InteractionRef m_previous;
};

} // namespace ixo
