#include "automation/widgets/ScopedInteraction.h"

namespace ixo {

ScopedInteraction::ScopedInteraction(InteractionRef interaction)
    : m_previous(Interaction::setCurrent(std::move(interaction))) {}

ScopedInteraction::~ScopedInteraction() {
    Interaction::setCurrent(std::move(m_previous));
}

} // namespace ixo
