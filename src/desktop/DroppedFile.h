#pragma once

#include "automation/Export.h"
#include "automation/widgets/Interaction.h"

namespace ixo {

// Answers the import command's file dialog with a dropped file, so that a drop takes the
// command's own path; everything else goes to the interaction that was there before.
class IXO_EXPORT DroppedFile : public Interaction {
public:
    DroppedFile(InteractionRef next, QString fileName);

    int messageBox(const QString &text, int style, const QString &title) override;
    QString fileDialog(const FileDialogRequest &request) override;
    int showModal(QDialog &dialog) override;

private:
    InteractionRef m_next;
    QString m_fileName;
};

} // namespace ixo
