#pragma once

#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "desktop/SetupsDocument.h"
#include "instruments/discovery/InstrumentDiscovery.h"

#include <QMainWindow>
#include <QUndoStack>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QVBoxLayout;

namespace ixo {

class BenchStrip;
class InstrumentConnection;
class InstrumentPanel;
class InstrumentState;
class RoleView;
class ScpiInstrument;
class WindowLanguage;

// The desktop host: the saved-states control beside the connected instrument's settings, with
// the list kept in a document file. Highlighting a saved state compares it with the
// instrument's setup, Ctrl+click on a second one compares the two; a restore can be previewed,
// and the setup it replaced put back with Edit > Undo Restore. The Instrument menu connects to
// another instrument or disconnects at run time: the list stays and is attached anew, so that
// its rows are marked for the instrument now connected. A document of a bench of several
// instruments shows a tab for each role, each with a connection of its own, under the bench
// strip that captures and restores the whole bench; the Edit and Instrument menus and the
// status bar are about the current tab.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // How a role's instrument is opened: its resource and the role's profile (empty for the
    // one matching the instrument).
    using Opener = std::function<std::shared_ptr<ScpiInstrument>(const QString &resource,
                                                                 const QString &profile)>;

    // An instrument that can be cancelled shows its resource in progress dialogs and ends an
    // exchange when the user cancels one.
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    bool openDocument(const QString &fileName);
    bool saveTo(const QString &fileName);
    // A new document for a bench of these roles (name, resource), each tab connected to its
    // role's instrument.
    void newBench(const QList<SetupsDocument::NewRole> &roles);
    // The current tab's control and settings panel.
    InstrumentState &control() const;
    InstrumentPanel &panel() const;
    SetupsDocument &document() const { return *m_document; }
    BenchStrip &benchStrip() const { return *m_benchStrip; }
    QTabBar &roleTabs() const { return *m_tabs; }
    int roleCount() const { return int(m_views.size()); }
    RoleView &roleView(int index) const { return *m_views.at(std::size_t(index)); }
    RoleView &currentView() const;
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
    InstrumentConnection &connection() const;
    // How every tab opens instruments (InstrumentFactory::open unless told otherwise) and
    // what the Connect dialog shows as the profile a resource will use.
    void setOpener(Opener opener);
    void setProfileDescriber(ConnectDialog::ProfileDescriber describer);
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
    void buildLayout(SetupInterfaceRef instrument, InstrumentSettings settings);
    RoleView &addView(SetupInterfaceRef instrument, InstrumentSettings settings);
    void dropLastView();
    void configureConnection(RoleView &view);
    std::vector<SetupsDocument::Binding> bindRoles(const StateDocument &document);
    RoleView &viewOf(const QString &role) const;
    // Connects every tab to its role's instrument; says which could not be reached.
    void connectRoles();
    void roleSwitched(RoleView &view);
    void tabChanged(int index);
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
    void showError(const QString &text);

    // Owned by the stack; the first lives as long as the window.
    std::vector<RoleView *> m_views;
    QVBoxLayout *m_layout = nullptr;
    BenchStrip *m_benchStrip = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_stack = nullptr;
    std::unique_ptr<SetupsDocument> m_document;
    std::unique_ptr<WindowLanguage> m_language;
    Opener m_opener;
    ConnectDialog::ProfileDescriber m_profileDescriber;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_instrumentMenu = nullptr;
    QAction *m_undoRestore = nullptr;
    QLabel *m_connectionLabel = nullptr;
    QUndoStack m_undo;
};

} // namespace ixo
