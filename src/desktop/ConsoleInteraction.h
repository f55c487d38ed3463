#pragma once

#include "automation/Export.h"
#include "automation/widgets/Interaction.h"

namespace ixo {

// For runs without a user: messages go to standard error, boxes answer with their default
// button, file dialogs are cancelled and forms rejected.
class IXO_EXPORT ConsoleInteraction : public Interaction {
public:
    int messageBox(const QString &text, int style, const QString &title) override;
    QString fileDialog(const FileDialogRequest &request) override;
    int showModal(QDialog &dialog) override;
};

} // namespace ixo
