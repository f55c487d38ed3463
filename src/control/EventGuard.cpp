#include "control/EventGuard.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "control/ResourceText.h"
#include "locale/TextId.h"

#include <QString>
#include <exception>

namespace ixo {

namespace {

QString errorTitle() {
    try {
        return ResourceText::get(TextId::kErrorTitle);
    } catch (...) {
        return QStringLiteral("Error");
    }
}

void show(const QString &description) noexcept {
    try {
        Interaction::current()->messageBox(description, MessageBoxStyle::Critical, errorTitle());
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

} // namespace

void EventGuard::run(const std::function<void()> &work) noexcept {
    try {
        work();
    } catch (const AutomationError &error) {
        show(error.description());
    } catch (const std::exception &error) {
        show(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        show(AutomationError::standardDescription(ErrorNumber::Fail));
    }
}

} // namespace ixo
