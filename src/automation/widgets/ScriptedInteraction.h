#pragma once

#include "automation/Export.h"
#include "automation/widgets/Interaction.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace ixo {

// Stands in for the user: records every message box, file dialog and modal form and answers
// from queues filled beforehand. An empty queue answers with the first button of the box,
// a cancelled file dialog and a rejected form.
class IXO_EXPORT ScriptedInteraction : public Interaction {
public:
    struct MessageBoxCall {
        QString text;
        int style = 0;
        QString title;
    };
    using ModalScript = std::function<int(QDialog &)>;

    int messageBox(const QString &text, int style, const QString &title) override;
    QString fileDialog(const FileDialogRequest &request) override;
    int showModal(QDialog &dialog) override;

    void answerMessageBox(int button) { m_messageAnswers.push_back(button); }
    void answerFileDialog(const QString &path) { m_fileAnswers.push_back(path); }
    // The script plays the user on the form and returns its result code.
    void answerModal(ModalScript script) { m_modalAnswers.push_back(std::move(script)); }

    const std::vector<MessageBoxCall> &messageBoxes() const { return m_messageBoxes; }
    const std::vector<FileDialogRequest> &fileDialogs() const { return m_fileDialogs; }
    // The window titles of the forms shown, in order.
    const std::vector<QString> &modalTitles() const { return m_modalTitles; }
    void clearRecords();

    // The button a box of this style answers with when nothing is queued.
    static int firstButtonOf(int style);

private:
    std::deque<int> m_messageAnswers;
    std::deque<QString> m_fileAnswers;
    std::deque<ModalScript> m_modalAnswers;
    std::vector<MessageBoxCall> m_messageBoxes;
    std::vector<FileDialogRequest> m_fileDialogs;
    std::vector<QString> m_modalTitles;
};

using ScriptedInteractionRef = std::shared_ptr<ScriptedInteraction>;

} // namespace ixo
