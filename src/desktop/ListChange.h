#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QUndoCommand>
#include <functional>

namespace ixo {

class SetupsDocument;

// One change of the list of saved states, taken back by putting the list before it back.
class IXO_EXPORT ListChange : public QUndoCommand {
public:
    using Failure = std::function<void(const QString &description)>;

    // The change has been made already; failed hears of a list that could not be put back.
    ListChange(SetupsDocument &document, QByteArray before, QByteArray after, Failure failed);

    void undo() override;
    void redo() override;

private:
    void put(const QByteArray &contents);

    SetupsDocument &m_document;
    QByteArray m_before;
    QByteArray m_after;
    Failure m_failed;
    bool m_made = true;
};

} // namespace ixo
