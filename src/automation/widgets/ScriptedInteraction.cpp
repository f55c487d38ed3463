#include "automation/widgets/ScriptedInteraction.h"

#include "automation/widgets/MessageBoxStyle.h"

#include <QDialog>

namespace ixo {

int ScriptedInteraction::messageBox(const QString &text, int style, const QString &title) {
    m_messageBoxes.push_back(MessageBoxCall{text, style, title});
    if (m_messageAnswers.empty())
        return firstButtonOf(style);
    const int answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

QString ScriptedInteraction::fileDialog(const FileDialogRequest &request) {
    m_fileDialogs.push_back(request);
    if (m_fileAnswers.empty())
        return {};
    QString answer = std::move(m_fileAnswers.front());
    m_fileAnswers.pop_front();
    return answer;
}

int ScriptedInteraction::showModal(QDialog &dialog) {
    m_modalTitles.push_back(dialog.windowTitle());
    if (m_modalAnswers.empty())
        return QDialog::Rejected;
    const ModalScript script = std::move(m_modalAnswers.front());
    m_modalAnswers.pop_front();
    return script(dialog);
}

void ScriptedInteraction::clearRecords() {
    m_messageBoxes.clear();
    m_fileDialogs.clear();
    m_modalTitles.clear();
}

int ScriptedInteraction::firstButtonOf(int style) {
    switch (style & MessageBoxStyle::ButtonsMask) {
    case MessageBoxStyle::AbortRetryIgnore:
        return MessageBoxResult::Abort;
    case MessageBoxStyle::YesNoCancel:
    case MessageBoxStyle::YesNo:
        return MessageBoxResult::Yes;
    case MessageBoxStyle::RetryCancel:
        return MessageBoxResult::Retry;
    default:
        return MessageBoxResult::Ok;
    }
}

} // namespace ixo
