#include "desktop/DroppedFile.h"

namespace ixo {

DroppedFile::DroppedFile(InteractionRef next, QString fileName)
    : m_next(std::move(next))
    , m_fileName(std::move(fileName)) {}

int DroppedFile::messageBox(const QString &text, int style, const QString &title) {
    return m_next->messageBox(text, style, title);
}

// Only the first file dialog gets the dropped file.
QString DroppedFile::fileDialog(const FileDialogRequest &request) {
    if (m_fileName.isEmpty())
        return m_next->fileDialog(request);
    return std::exchange(m_fileName, QString());
}

int DroppedFile::showModal(QDialog &dialog) {
    return m_next->showModal(dialog);
}

} // namespace ixo
