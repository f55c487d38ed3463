#pragma once

#include "automation/Export.h"
#include "automation/widgets/Interaction.h"

#include <QStringList>

namespace ixo {

// The real dialogs: QMessageBox, QFileDialog and QDialog::exec.
class IXO_EXPORT QtInteraction : public Interaction {
public:
    int messageBox(const QString &text, int style, const QString &title) override;
    QString fileDialog(const FileDialogRequest &request) override;
    int showModal(QDialog &dialog) override;

    // "Text files (*.txt)|*.txt|All|*.*;*" as Qt name filters:
    // {"Text files (*.txt)", "All (*.* *)"}.
    static QStringList nameFilters(const QString &filter);
};

} // namespace ixo
