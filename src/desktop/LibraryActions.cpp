#include "desktop/LibraryActions.h"

#include "automation/ErrorNumber.h"
#include "automation/widgets/Interaction.h"
#include "desktop/MainWindow.h"
#include "desktop/StateComparison.h"
#include "library/LibraryDocument.h"
#include "library/LibraryHistory.h"
#include "model/ItemStateInfo.h"
#include "model/RefusedChange.h"

#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

namespace ixo {

namespace {

QString changeText(const QString &change) {
    if (change == QLatin1String("captured"))
        return LibraryActions::tr("captured");
    if (change == QLatin1String("renamed"))
        return LibraryActions::tr("renamed");
    if (change == QLatin1String("revised"))
        return LibraryActions::tr("revised");
    if (change == QLatin1String("released"))
        return LibraryActions::tr("released");
    if (change == QLatin1String("removed"))
        return LibraryActions::tr("removed");
    return change;
}

} // namespace

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

void LibraryActions::addCompareAction(QMenu &edit) {
    QAction *compare =
        edit.addAction(tr("Compare with &Version..."), this, &LibraryActions::compareAsked);
    compare->setObjectName(QStringLiteral("compareWithVersion"));
    compare->setStatusTip(
        tr("Show an earlier version of the highlighted state beside it, as the library keeps it"));
    compare->setEnabled(!comparableState().isEmpty());
    connect(&edit, &QMenu::aboutToShow, compare,
            [this, compare] { compare->setEnabled(!comparableState().isEmpty()); });
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

// A state added or renamed since the document was read has no history under its name yet.
QString LibraryActions::comparableState() const {
    const LibraryDocument *library = m_window.document().libraryDocument();
    const RoleView &view = m_window.currentView();
    const QString &name = view.comparison().highlighted();
    if (!library || name.isEmpty() || library->versionOf(view.role(), name) == 0)
        return {};
    return name;
}

void LibraryActions::compareAsked() {
    const QString name = comparableState();
    if (name.isEmpty())
        return;
    LibraryDocument &library = *m_window.document().libraryDocument();
    RoleView &view = m_window.currentView();
    try {
        LibraryHistory history = library.history(view.role());
        const std::vector<LibraryHistory::Version> versions = history.versions(name);
        QStringList items;
        for (const LibraryHistory::Version &version : versions)
            items << tr("Version %1, %2: \"%3\", %4 on %5 at %6")
                         .arg(QString::number(version.version), changeText(version.change),
                              version.name, version.by.user, version.by.station,
                              ChangeRecord::timeText(version.by.at));
        QInputDialog dialog(&m_window);
        dialog.setWindowTitle(tr("Compare with Version"));
        dialog.setLabelText(tr("Version of \"%1\" to show beside it:").arg(name));
        dialog.setComboBoxItems(items);
        dialog.setComboBoxEditable(false);
        // The version before the current one is the usual question.
        if (items.size() > 1)
            dialog.setTextValue(items[items.size() - 2]);
        if (Interaction::current()->showModal(dialog) != QDialog::Accepted)
            return;
        const qsizetype picked = items.indexOf(dialog.textValue());
        if (picked < 0)
            return;
        const LibraryHistory::Version &version = versions[std::size_t(picked)];
        const std::shared_ptr<ItemStateInfo> state = history.state(name, version.version);
        view.comparison().compareWith(
            {tr("%1 (version %2, %3 on %4 at %5)")
                 .arg(version.name, QString::number(version.version), version.by.user,
                      version.by.station, ChangeRecord::timeText(version.by.at)),
             state->data()});
    } catch (const AutomationError &error) {
        m_window.showError(tr("Could not read the versions of \"%1\" from %2:\n%3")
                               .arg(name, m_window.document().location(), error.description()));
    }
}

} // namespace ixo
