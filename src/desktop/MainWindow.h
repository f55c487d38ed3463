#pragma once

#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "desktop/SetupsDocument.h"
#include "instruments/discovery/InstrumentDiscovery.h"

#include <QMainWindow>
#include <QUndoStack>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QSplitter;

namespace ixo {

class InstrumentConnection;
class InstrumentPanel;
class InstrumentState;
class StateComparison;
class WindowLanguage;

// The desktop host: the saved-states control beside the connected instrument's settings, with
// the list kept in a document file. Highlighting a saved state compares it with the
// instrument's setup, Ctrl+click on a second one compares the two; a restore can be previewed.
// The Instrument menu connects to another instrument or disconnects at run time: the list stays
// and is attached anew, so that its rows are marked for the instrument now connected.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // An instrument that can be cancelled shows its resource in progress dialogs and ends an
    // exchange when the user cancels one.
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    bool openDocument(const QString &fileName);
    bool saveTo(const QString &fileName);
    InstrumentState &control() const { return *m_control; }
    InstrumentPanel &panel() const { return *m_panel; }
    SetupsDocument &document() const { return *m_document; }
    // Selects the named saved states: one compares it with the instrument, two each other.
    void selectStates(const QStringList &names);
    // Imports a state file or legacy setup file, or opens a document (.ixs).
    void dropFile(const QString &fileName);
    bool canUndo();
    void undo();

    // Opening, identifying and naming instruments, and the Connect dialog's choices.
    InstrumentConnection &connection() const { return *m_connection; }
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
    void buildLayout(InstrumentSettings settings);
    void buildMenus();
    void rebuildInstrumentMenu();
    void rebuildRecentMenu();
    void instrumentSwitched(const InstrumentSettings &settings);
    void showConnection(const QString &message = QString());
    void listChanged(const QByteArray &before, const QByteArray &after);
    // Raises "Cancelled by the user" unless the user accepts the settings a restore changes.
    void previewRestore(const QVariant &state);
    void restoreLayout();
    void saveLayout();
    // Asks whether unsaved changes should be saved; false when the user cancels.
    bool settleChanges();
    void openAfterSettling(const QString &fileName);
    void showError(const QString &text);

    std::unique_ptr<InstrumentConnection> m_connection;
    InstrumentState *m_control = nullptr;
    InstrumentPanel *m_panel = nullptr;
    QSplitter *m_splitter = nullptr;
    std::unique_ptr<SetupsDocument> m_document;
    std::unique_ptr<StateComparison> m_comparison;
    std::unique_ptr<WindowLanguage> m_language;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_instrumentMenu = nullptr;
    QLabel *m_connectionLabel = nullptr;
    QUndoStack m_undo;
};

} // namespace ixo
