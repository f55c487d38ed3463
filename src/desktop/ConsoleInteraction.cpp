#include "desktop/ConsoleInteraction.h"

#include "automation/widgets/ScriptedInteraction.h"

#include <QDialog>
#include <cstdio>

namespace ixo {

int ConsoleInteraction::messageBox(const QString &text, int style, const QString &title) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return ScriptedInteraction::firstButtonOf(style);
}

QString ConsoleInteraction::fileDialog(const FileDialogRequest &) {
    return {};
}

int ConsoleInteraction::showModal(QDialog &) {
    return QDialog::Rejected;
}

} // namespace ixo
