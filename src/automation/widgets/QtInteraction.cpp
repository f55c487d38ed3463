#include "automation/widgets/QtInteraction.h"

#include "automation/widgets/MessageBoxStyle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <utility>
#include <vector>

namespace ixo {

namespace {

using Button = QMessageBox::StandardButton;

const std::vector<std::pair<Button, int>> &buttonNumbers() {
    static const std::vector<std::pair<Button, int>> numbers{
        {QMessageBox::Ok, MessageBoxResult::Ok},
        {QMessageBox::Cancel, MessageBoxResult::Cancel},
        {QMessageBox::Abort, MessageBoxResult::Abort},
        {QMessageBox::Retry, MessageBoxResult::Retry},
        {QMessageBox::Ignore, MessageBoxResult::Ignore},
        {QMessageBox::Yes, MessageBoxResult::Yes},
        {QMessageBox::No, MessageBoxResult::No}};
    return numbers;
}

// The buttons of a style in the order they are counted for the default button.
std::vector<Button> buttonsOf(int style) {
    switch (style & MessageBoxStyle::ButtonsMask) {
    case MessageBoxStyle::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageBoxStyle::AbortRetryIgnore:
        return {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore};
    case MessageBoxStyle::YesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case MessageBoxStyle::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MessageBoxStyle::RetryCancel:
        return {QMessageBox::Retry, QMessageBox::Cancel};
    default:
        return {QMessageBox::Ok};
    }
}

QMessageBox::Icon iconOf(int style) {
    switch (style & MessageBoxStyle::IconMask) {
    case MessageBoxStyle::Critical:
        return QMessageBox::Critical;
    case MessageBoxStyle::Question:
        return QMessageBox::Question;
    case MessageBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MessageBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int numberOf(Button button) {
    for (const auto &[standard, number] : buttonNumbers()) {
        if (standard == button)
            return number;
    }
    return MessageBoxResult::Cancel;
}

QString patternsOf(const QString &patterns) {
    return patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
}

} // namespace

int QtInteraction::messageBox(const QString &text, int style, const QString &title) {
    QMessageBox box;
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    box.setText(text);
    box.setIcon(iconOf(style));
    const std::vector<Button> buttons = buttonsOf(style);
    for (const Button button : buttons)
        box.addButton(button);
    const std::size_t defaultIndex =
        static_cast<std::size_t>((style & MessageBoxStyle::DefaultButtonMask) >> 8);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    box.exec();
    const Button clicked = box.standardButton(box.clickedButton());
    // Closing the box without a button counts as its last button, as Escape would.
    return numberOf(clicked == QMessageBox::NoButton ? buttons.back() : clicked);
}

QString QtInteraction::fileDialog(const FileDialogRequest &request) {
    QFileDialog dialog;
    dialog.setWindowTitle(request.title);
    const bool save = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filter.isEmpty())
        dialog.setNameFilters(nameFilters(request.filter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !(request.flags & FileDialogRequest::kOverwritePrompt));
    while (dialog.exec() == QDialog::Accepted) {
        const QString path = dialog.selectedFiles().value(0);
        if (!(request.flags & FileDialogRequest::kPathMustExist) ||
            QFileInfo(path).absoluteDir().exists())
            return path;
        QMessageBox::warning(&dialog, request.title,
                             QStringLiteral("The folder of %1 does not exist.").arg(path));
    }
    return {};
}

int QtInteraction::showModal(QDialog &dialog) {
    return dialog.exec();
}

QStringList QtInteraction::nameFilters(const QString &filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i);
        const QString patterns = patternsOf(parts.at(i + 1));
        // A description that already shows its patterns stays as it is.
        if (description.endsWith(QStringLiteral("(%1)").arg(patterns)))
            filters.append(description);
        else
            filters.append(QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return filters;
}

} // namespace ixo
