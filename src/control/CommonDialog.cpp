#include "control/CommonDialog.h"

#include "automation/widgets/Interaction.h"

namespace ixo {

CommonDialog::CommonDialog(QObject *parent)
    : QObject(parent) {}

void CommonDialog::ShowOpen() {
    show(FileDialogRequest::Mode::Open);
}

void CommonDialog::ShowSave() {
    show(FileDialogRequest::Mode::Save);
}

void CommonDialog::show(FileDialogRequest::Mode mode) {
    m_request.mode = mode;
    m_request.fileName = Interaction::current()->fileDialog(m_request);
}

} // namespace ixo
