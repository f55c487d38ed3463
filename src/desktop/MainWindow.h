#pragma once

#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentSettings.h"
#include "desktop/SetupsDocument.h"
#include "instruments/discovery/InstrumentDiscovery.h"

#include <QMainWindow>
#include <QTranslator>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;

namespace ixo {

class InstrumentPanel;
class InstrumentState;
class ScpiInstrument;
class ObservedInstrument;

// The desktop host: the saved-states control beside the connected instrument's settings, with
// the list kept in a document file. Highlighting a saved state compares it with the
// instrument's setup, Ctrl+click on a second one compares the two; a restore can be previewed.
// The Instrument menu connects to another instrument or disconnects at run time: the list stays
// and is attached anew, so that its rows are marked for the instrument now connected.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static const QString kPreviewKey;
    // Whether instruments connected from now on check each restore by capturing again.
    static const QString kVerifyKey;
    static const QString kRecentResourcesKey;
    static constexpr int kMaxRecentResources = 8;

    // name: what progress dialogs call the instrument; cancel ends an exchange in progress.
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
               QWidget *parent = nullptr);
    MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings, const QString &name,
               std::function<void()> cancel, QWidget *parent = nullptr);
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
    bool canUndo() const { return !m_undo.empty(); }
    void undo();
    static bool previewEnabled();
    static bool verifyEnabled();

    // The settings panel's view of an SCPI instrument.
    static InstrumentSettings scpiSettingsOf(const std::shared_ptr<ScpiInstrument> &instrument);
    // Puts a resource first among the recent ones (kept in the settings).
    static void rememberResource(const QString &resource);
    static QStringList recentResources();
    // How the window opens a resource; InstrumentFactory::open unless told otherwise.
    void setOpener(ConnectDialog::Opener opener);
    // What the Connect dialog shows as the profile a resource will use.
    void setProfileDescriber(ConnectDialog::ProfileDescriber describer);
    // Where the Connect dialog looks for instruments.
    void setDiscoveryOptions(const InstrumentDiscovery::Options &options);
    // Identifies the instrument first: one that cannot be reached leaves the connection as it
    // was and says why.
    bool connectTo(const QString &resource);
    void disconnectInstrument();
    bool isConnected() const;
    // The resource and *IDN? model of the connected instrument, or that there is none.
    QString instrumentText() const;
    QString connectionStatus() const;
    // The Connect dialog as showConnectDialog() would show it, for pictures of it.
    std::unique_ptr<ConnectDialog> makeConnectDialog();

public slots:
    void showConnectDialog();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void newDocument();
    void open();
    bool save();
    bool saveAs();
    void showSettingsDialog();
    void updateTitle();

private:
    void buildMenus();
    void buildLanguageMenu(QMenu &menu);
    void rebuildInstrumentMenu();
    void switchInstrument(SetupInterfaceRef instrument, InstrumentSettings settings,
                          const QString &name, std::function<void()> cancel, const QString &model);
    void markListForInstrument();
    void showConnection();
    void connectionLost(const QString &description);
    void connectionRestored();
    void rebuildRecentMenu();
    void rememberRecent(const QString &fileName);
    void switchLanguage(int countryCode, const QString &language);
    void followControlLanguage();
    void watchListChanges();
    void forgetUndo();
    void stateSelected(const QString &name);
    void compareSelection();
    QVariant stateData(const QString &name) const;
    // Raises "Cancelled by the user" unless the user accepts the settings a restore changes.
    void previewRestore(const QVariant &state);
    void restoreLayout();
    void saveLayout();
    // Asks whether unsaved changes should be saved; false when the user cancels.
    bool settleChanges();
    void showError(const QString &text);

    std::shared_ptr<ObservedInstrument> m_instrument;
    InstrumentState *m_control = nullptr;
    InstrumentPanel *m_panel = nullptr;
    QSplitter *m_splitter = nullptr;
    std::unique_ptr<SetupsDocument> m_document;
    QMenu *m_recentMenu = nullptr;
    QMenu *m_instrumentMenu = nullptr;
    QLabel *m_connectionLabel = nullptr;
    ConnectDialog::Opener m_opener;
    ConnectDialog::ProfileDescriber m_profileDescriber;
    InstrumentDiscovery::Options m_discoveryOptions;
    // The resource string connectTo() was given, to offer it again.
    QString m_resource;
    QString m_model;
    QAction *m_undoAction = nullptr;
    QTranslator m_translator;
    int m_countryCode = 0;
    // The list as it was before each change, the last change last.
    std::vector<QByteArray> m_undo;
    QByteArray m_beforeCommand;
    QString m_selected;
    QString m_comparedWith;
};

} // namespace ixo
