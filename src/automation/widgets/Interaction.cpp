#include "automation/widgets/Interaction.h"

#include "automation/widgets/QtInteraction.h"

namespace ixo {

namespace {

thread_local InteractionRef t_current;

} // namespace

InteractionRef Interaction::current() {
    if (!t_current)
        t_current = std::make_shared<QtInteraction>();
    return t_current;
}

InteractionRef Interaction::setCurrent(InteractionRef interaction) {
    InteractionRef previous = std::move(t_current);
    t_current = std::move(interaction);
    return previous;
}

} // namespace ixo
