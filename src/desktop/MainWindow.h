#pragma once

#include "automation/Export.h"
#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "desktop/RoleTabs.h"
#include "desktop/RoleView.h"
#include "desktop/SetupsDocument.h"
#include "instruments/discovery/InstrumentDiscovery.h"

#include <QMainWindow>
#include <QUndoStack>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTabBar;

namespace ixo {

class BenchStrip;
class InstrumentConnection;
class InstrumentPanel;
class InstrumentState;
class LibraryActions;
class WindowLanguage;

// The desktop host: the saved-states control beside the connected instrument's settings, with
// the list kept in a document file or a setup library. Highlighting a saved state compares it with
// the instrument's setup, Ctrl+click on a second one compares the two; a restore can be previewed,
// and the setup it replaced put back with Edit > Undo Restore. The Instrument menu connects to
// another instrument or disconnects at run time: the list stays and is attached anew, so that
// its rows are marked for the instrument now connected. A document of a bench of several
// instruments shows a tab for each role, each with a connection of its own, under the bench
// strip that captures and restores the whole bench; the Edit and Instrument menus and the
// status bar are about the current tab.
class IXO_EXPORT MainWindow : public QMainWindow {
    Q_OBJECT

public:
    using Opener = RoleTabs::Opener;

    // An instrument that can be cancelled shows its resource in progress dialogs and ends an
    // exchange when the user cancels one.
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // A file's path or a library's address.
    bool openDocument(const QString &location);
    bool saveTo(const QString &fileName);
    LibraryActions &library() const { return *m_library; }
    // A new document for a bench of these roles (name, resource), each tab connected to its
    // role's instrument.
    void newBench(const QList<SetupsDocument::NewRole> &roles);
    // The current tab's control and settings panel.
    InstrumentState &control() const { return currentView().control(); }
    InstrumentPanel &panel() const { return currentView().panel(); }
    SetupsDocument &document() const { return *m_document; }
    BenchStrip &benchStrip() const { return m_roleTabs->benchStrip(); }
    QTabBar &roleTabs() const { return m_roleTabs->tabBar(); }
    int roleCount() const { return m_roleTabs->count(); }
    RoleView &roleView(int index) const { return m_roleTabs->view(index); }
    RoleView &currentView() const { return m_roleTabs->currentView(); }
    // Selects the named saved states: one compares it with the instrument, two each other.
    void selectStates(const QStringList &names);
    // Imports a state file or legacy setup file, or opens a document (.ixs).
    void dropFile(const QString &fileName);
    bool canUndo();
    void undo();
    // Whether the current tab's instrument has a setup kept from before a restore.
    bool canUndoRestore() const;
    // Puts that setup back on the instrument.
    void undoRestore();

    // The current tab's connection: opening, identifying and naming instruments, and the
    // Connect dialog's choices.
    InstrumentConnection &connection() const { return currentView().connection(); }
    // How every tab opens instruments (InstrumentFactory::open unless told otherwise) and
    // what the Connect dialog shows as the profile a resource will use.
    void setOpener(Opener opener) { m_roleTabs->setOpener(std::move(opener)); }
    void setProfileDescriber(ConnectDialog::ProfileDescriber describer) {
        m_roleTabs->setProfileDescriber(std::move(describer));
    }
    // Identifies the instrument first: one that cannot be reached leaves the connection as it
    // was and says why.
    bool connectTo(const QString &resource);
    void disconnectInstrument();
    // What the status bar says about the connection.
    QString connectionStatus() const;

public slots:
    void showConnectDialog();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void newDocument();
    void open();
    bool save();
    bool saveAs();
    void showSettingsDialog();
    void updateTitle();

private:
    friend class LibraryActions;

    void buildLayout(SetupInterfaceRef instrument, InstrumentSettings settings);
    void followRoleTabs();
    // Connects every tab to its role's instrument; says which could not be reached.
    void connectRoles();
    void roleSwitched(int index);
    void tabChanged();
    void languageSwitched();
    void buildMenus();
    void rebuildInstrumentMenu();
    void rebuildRecentMenu();
    void updateUndoRestore();
    void showConnection(const QString &message = QString());
    void listChanged(const QByteArray &before, const QByteArray &after);
    void restoreLayout();
    void saveLayout();
    // Asks whether unsaved changes should be saved; false when the user cancels.
    bool settleChanges();
    void openAfterSettling(const QString &fileName);
    void documentOpened(const QString &location);
    void saved(const QString &location);
    void recordRestore(const QString &role, const QString &state, const QString &instrument);
    void showError(const QString &text);

    RoleTabs *m_roleTabs = nullptr;
    std::unique_ptr<SetupsDocument> m_document;
    std::unique_ptr<WindowLanguage> m_language;
    LibraryActions *m_library = nullptr;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_instrumentMenu = nullptr;
    QAction *m_undoRestore = nullptr;
    QLabel *m_connectionLabel = nullptr;
    QUndoStack m_undo;
};

} // namespace ixo
