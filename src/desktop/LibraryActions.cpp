#include "desktop/LibraryActions.h"

#include "automation/ErrorNumber.h"
#include "automation/widgets/Interaction.h"
#include "desktop/MainWindow.h"
#include "model/RefusedChange.h"

#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace ixo {

const QString LibraryActions::kAddressKey = QStringLiteral("library/address");

LibraryActions::LibraryActions(MainWindow &window)
    : QObject(&window)
    , m_window(window) {}

void LibraryActions::addOpenAction(QMenu &file) {
    file.addAction(tr("Open &Library..."), this, &LibraryActions::openAsked)
        ->setStatusTip(tr("Open a document of a setup library by its address"));
}

void LibraryActions::addSaveAction(QMenu &file) {
    file.addAction(tr("Save to Li&brary..."), this, &LibraryActions::saveAsked)
        ->setStatusTip(tr("Put the whole document into a setup library and go on working there"));
}

void LibraryActions::openAsked() {
    if (!m_window.settleChanges())
        return;
    const QString address = askAddress(tr("Open Library"), tr("Address of the library document:"));
    if (!address.isEmpty())
        m_window.openDocument(address);
}

void LibraryActions::saveAsked() {
    const QString address = askAddress(
        tr("Save to Library"), tr("Address of the library, with a document name it does not "
                                  "hold yet (?document=NAME):"));
    if (!address.isEmpty())
        saveTo(address);
}

QString LibraryActions::askAddress(const QString &title, const QString &label) const {
    QInputDialog dialog(&m_window);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label + QStringLiteral("\nsqlite:PATH?document=NAME\n"
                                               "postgresql://[user@]host[:port]/"
                                               "database?document=NAME"));
    dialog.setTextValue(QSettings().value(kAddressKey).toString());
    dialog.resize(560, dialog.sizeHint().height());
    if (Interaction::current()->showModal(dialog) != QDialog::Accepted)
        return {};
    const QString address = dialog.textValue().trimmed();
    if (!address.isEmpty())
        QSettings().setValue(kAddressKey, address);
    return address;
}

bool LibraryActions::save() {
    SetupsDocument &document = m_window.document();
    const QString address = document.location();
    try {
        document.saveToLibrary();
    } catch (const RefusedChange &refusal) {
        if (refusal.number() == ErrorNumber::WriteConflict)
            offerReload(address, refusal.description());
        else
            m_window.showError(tr("Could not save to %1; the library is unchanged:\n%2")
                                   .arg(address, refusal.description()));
        return false;
    } catch (const AutomationError &error) {
        m_window.showError(
            error.number() == ErrorNumber::DeviceUnavailable
                ? tr("The library at %1 cannot be reached. The document stays open here with "
                     "its changes, not saved: save it again later, or to a file with Save "
                     "As.\n%2")
                      .arg(address, error.description())
                : tr("Could not save to %1; the library is unchanged:\n%2")
                      .arg(address, error.description()));
        return false;
    }
    m_window.saved(address);
    return true;
}

bool LibraryActions::saveTo(const QString &address) {
    try {
        m_window.document().moveToLibrary(address);
    } catch (const AutomationError &error) {
        m_window.showError(tr("Could not save to %1; the document stays as it was:\n%2")
                               .arg(address, error.description()));
        return false;
    }
    m_window.documentOpened(address);
    m_window.saved(address);
    return true;
}

// Reloading drops this window's unsaved changes; keeping leaves them to be saved to a file.
void LibraryActions::offerReload(const QString &address, const QString &conflict) {
    QMessageBox box(QMessageBox::Warning, tr("IxoInstrSetups"),
                    tr("%1\n\nReload opens the document again from the library, with the other "
                       "station's change; the changes not saved in this window are lost. Keep "
                       "leaves the document here as it is, not saved, so that it can be saved "
                       "to a file with Save As.")
                        .arg(conflict),
                    QMessageBox::NoButton, &m_window);
    QPushButton *reload = box.addButton(tr("Reload"), QMessageBox::AcceptRole);
    QPushButton *keep = box.addButton(tr("Keep"), QMessageBox::RejectRole);
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    Interaction::current()->showModal(box);
    if (box.clickedButton() == reload)
        m_window.openDocument(address);
}

} // namespace ixo
