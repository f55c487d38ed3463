#pragma once

#include "automation/Export.h"
#include "automation/widgets/FileDialogRequest.h"

#include <QString>
#include <memory>

class QDialog;

namespace ixo {

// Everything that waits for the user: message boxes, the file dialog and modal forms. The
// code goes through the thread's current instance, so tests can answer in place of a user.
class IXO_EXPORT Interaction {
public:
    virtual ~Interaction() = default;

    // Returns the button pressed (MessageBoxResult); style as in MessageBoxStyle.
    virtual int messageBox(const QString &text, int style, const QString &title) = 0;
    // Returns the chosen path, or an empty string when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest &request) = 0;
    // Returns the dialog's result code.
    virtual int showModal(QDialog &dialog) = 0;

    // The thread's instance; the Qt dialogs unless something else was set.
    static std::shared_ptr<Interaction> current();
    // Installs an instance for this thread (empty restores the Qt dialogs) and returns the
    // one installed before.
    static std::shared_ptr<Interaction> setCurrent(std::shared_ptr<Interaction> interaction);

protected:
    Interaction() = default;
    Interaction(const Interaction &) = default;
    Interaction &operator=(const Interaction &) = default;
};

using InteractionRef = std::shared_ptr<Interaction>;

} // namespace ixo
