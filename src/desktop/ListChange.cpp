#include "desktop/ListChange.h"

#include "automation/AutomationError.h"
#include "desktop/SetupsDocument.h"

namespace ixo {

ListChange::ListChange(SetupsDocument &document, QByteArray before, QByteArray after,
                       Failure failed)
    : m_document(document)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_failed(std::move(failed)) {}

void ListChange::undo() {
    put(m_before);
}

// The stack redoes a command as it is pushed; that change is already made.
void ListChange::redo() {
    if (!std::exchange(m_made, false))
        put(m_after);
}

// Errors may not pass through the stack.
void ListChange::put(const QByteArray &contents) {
    try {
        m_document.restoreList(contents);
    } catch (const AutomationError &error) {
        if (m_failed)
            m_failed(error.description());
    }
}

} // namespace ixo
