#include "desktop/MainWindow.h"

#include "automation/AutomationError.h"
#include "automation/widgets/FileDialogRequest.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/ScopedInteraction.h"
#include "control/InstrumentState.h"
#include "desktop/BenchStrip.h"
#include "desktop/DroppedFile.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/LibraryActions.h"
#include "desktop/ListChange.h"
#include "desktop/RecentItems.h"
#include "desktop/RoleView.h"
#include "desktop/SettingsDialog.h"
#include "desktop/StateComparison.h"
#include "desktop/WindowLanguage.h"
#include "model/BenchRole.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace ixo {

namespace {

const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSplitterKey = QStringLiteral("window/splitter");
constexpr int kMessageMs = 5000;

QString documentDialog(FileDialogRequest::Mode mode, const QString &title,
                       const QString &fileName) {
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.filter = MainWindow::tr("Instrument setup documents (*.ixs)|*.ixs|All files|*");
    request.fileName = fileName;
    request.flags = FileDialogRequest::kOverwritePrompt | FileDialogRequest::kPathMustExist;
    return Interaction::current()->fileDialog(request);
}

} // namespace

MainWindow::MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings, QWidget *parent)
    : QMainWindow(parent)
    , m_document(std::make_unique<SetupsDocument>(
          [this](const StateDocument &document) { return m_roleTabs->bindRoles(document); }))
    , m_library(new LibraryActions(*this)) {
    buildLayout(std::move(instrument), std::move(settings));
    m_document->reset();
    connect(m_document.get(), &SetupsDocument::listChanged, this, &MainWindow::listChanged);
    connect(m_document.get(), &SetupsDocument::attached, this, [this] {
        benchStrip().refresh();
        rebuildInstrumentMenu();
        showConnection();
        updateUndoRestore();
    });
    m_language = std::make_unique<WindowLanguage>(m_roleTabs->view(0).control());
    connect(m_language.get(), &WindowLanguage::switched, this,
            [this](const QString &message, int timeoutMs) {
                statusBar()->showMessage(message, timeoutMs);
                languageSwitched();
            });
    // The panel has asked already; a connection that failed there is not waited on twice.
    m_roleTabs->view(0).connection().identify();
    buildMenus();
    restoreLayout();
    showConnection();
    updateTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildLayout(SetupInterfaceRef instrument, InstrumentSettings settings) {
    m_roleTabs = new RoleTabs(std::move(instrument), std::move(settings), *m_document, this);
    followRoleTabs();
    setCentralWidget(m_roleTabs);
    setAcceptDrops(true);
    m_connectionLabel = new QLabel(this);
    m_connectionLabel->setObjectName(QStringLiteral("connectionStatus"));
    statusBar()->addPermanentWidget(m_connectionLabel);
}

void MainWindow::followRoleTabs() {
    connect(&m_roleTabs->benchStrip(), &BenchStrip::changed, this, [this](const QString &message) {
        statusBar()->showMessage(message, kMessageMs);
        updateUndoRestore();
        updateTitle();
    });
    connect(m_roleTabs, &RoleTabs::currentChanged, this, &MainWindow::tabChanged);
    connect(m_roleTabs, &RoleTabs::roleSwitched, this, &MainWindow::roleSwitched);
    connect(m_roleTabs, &RoleTabs::currentStatusChanged, this,
            [this](const QString &message) { showConnection(message); });
    connect(m_roleTabs, &RoleTabs::kept, this, [this] {
        updateUndoRestore();
        updateTitle();
    });
    // Queued: the control is still in its restore when told.
    connect(m_roleTabs, &RoleTabs::restored, this, &MainWindow::recordRestore,
            Qt::QueuedConnection);
    connect(m_roleTabs, &RoleTabs::comparing, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
}

void MainWindow::connectRoles() {
    const QStringList failures = m_roleTabs->connectRoles();
    if (!failures.isEmpty())
        showError(tr("These instruments of the bench could not be connected; their tabs stay "
                     "as they were:\n%1")
                      .arg(failures.join(QLatin1Char('\n'))));
}

void MainWindow::tabChanged() {
    rebuildInstrumentMenu();
    showConnection();
    updateUndoRestore();
    updateTitle();
}

void MainWindow::languageSwitched() {
    for (const QString &error : m_roleTabs->followLanguage())
        showError(error);
    updateTitle();
}

void MainWindow::buildMenus() {
    qDeleteAll(menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    menuBar()->clear();
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, &MainWindow::newDocument);
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::open);
    m_library->addOpenAction(*file);
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::save);
    file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainWindow::saveAs);
    m_library->addSaveAction(*file);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *undoAction = m_undo.createUndoAction(edit, tr("&Undo"));
    undoAction->setShortcut(QKeySequence::Undo);
    edit->addAction(undoAction);
    QAction *redoAction = m_undo.createRedoAction(edit, tr("&Redo"));
    redoAction->setShortcut(QKeySequence::Redo);
    edit->addAction(redoAction);
    m_undoRestore = edit->addAction(tr("Undo Re&store"), this, &MainWindow::undoRestore);
    m_undoRestore->setObjectName(QStringLiteral("undoRestore"));
    m_undoRestore->setStatusTip(
        tr("Put back on the instrument the setup it had before its last restore"));
    updateUndoRestore();
    m_library->addCompareAction(*edit);
    edit->addSeparator();
    edit->addAction(tr("Se&ttings..."), this, &MainWindow::showSettingsDialog);
    m_instrumentMenu = menuBar()->addMenu(tr("&Instrument"));
    m_language->addActions(*menuBar()->addMenu(tr("&Language")));
    rebuildRecentMenu();
    rebuildInstrumentMenu();
}

void MainWindow::rebuildInstrumentMenu() {
    if (!m_instrumentMenu)
        return;
    m_instrumentMenu->clear();
    m_instrumentMenu->addAction(tr("&Connect..."), this, &MainWindow::showConnectDialog);
    m_instrumentMenu->addAction(tr("&Disconnect"), this, &MainWindow::disconnectInstrument)
        ->setEnabled(connection().isConnected());
    const RecentItems recent = RecentItems::resources();
    if (!recent.items().isEmpty())
        m_instrumentMenu->addSection(tr("Recent instruments"));
    recent.addActions(*m_instrumentMenu, this,
                      [this](const QString &resource) { connectTo(resource); });
}

void MainWindow::rebuildRecentMenu() {
    m_recentMenu->clear();
    const RecentItems recent = RecentItems::documents();
    recent.addActions(*m_recentMenu, this,
                      [this](const QString &path) { openAfterSettling(path); });
    m_recentMenu->setEnabled(!recent.items().isEmpty());
}

void MainWindow::showConnectDialog() {
    const std::unique_ptr<ConnectDialog> dialog = connection().makeConnectDialog(this);
    if (Interaction::current()->showModal(*dialog) == QDialog::Accepted)
        connectTo(dialog->resource());
}

// A bench names its instruments, so saving it keeps the new one; a document of one instrument
// names none.
bool MainWindow::connectTo(const QString &resource) {
    try {
        connection().connectTo(resource);
    } catch (const AutomationError &error) {
        showError(tr("Could not connect to %1; the connection stays as it was:\n%2")
                      .arg(resource.trimmed(), error.description()));
        return false;
    }
    if (m_document->model().isBench()) {
        m_roleTabs->keepCurrentResource();
        updateTitle();
    }
    statusBar()->showMessage(tr("Connected to %1").arg(connection().description()), kMessageMs);
    return true;
}

void MainWindow::disconnectInstrument() {
    if (!connection().isConnected())
        return;
    const QString before = connection().description();
    connection().disconnect();
    statusBar()->showMessage(tr("Disconnected from %1").arg(before), kMessageMs);
}

// The list stays; attached anew, its rows are marked for the instrument now connected.
void MainWindow::roleSwitched(int index) {
    try {
        m_document->reattach(std::size_t(index));
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    rebuildInstrumentMenu();
    showConnection();
    updateTitle();
}

QString MainWindow::connectionStatus() const {
    return m_connectionLabel->text();
}

void MainWindow::showConnection(const QString &message) {
    m_connectionLabel->setText(connection().status());
    if (!message.isEmpty())
        statusBar()->showMessage(message, kMessageMs);
}

void MainWindow::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange) {
        // Later, so that no menu is rebuilt while one of its actions is being handled.
        QMetaObject::invokeMethod(
            this,
            [this] {
                buildMenus();
                updateTitle();
            },
            Qt::QueuedConnection);
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::newDocument() {
    if (!settleChanges())
        return;
    m_document->reset();
    m_undo.clear();
    updateTitle();
}

void MainWindow::newBench(const QList<SetupsDocument::NewRole> &roles) {
    if (!settleChanges())
        return;
    try {
        m_document->reset(roles);
    } catch (const AutomationError &error) {
        showError(error.description());
        return;
    }
    m_undo.clear();
    connectRoles();
    updateTitle();
}

void MainWindow::open() {
    if (!settleChanges())
        return;
    const QString fileName =
        documentDialog(FileDialogRequest::Mode::Open, tr("Open document"), m_document->fileName());
    if (!fileName.isEmpty())
        openDocument(fileName);
}

void MainWindow::openAfterSettling(const QString &fileName) {
    if (settleChanges())
        openDocument(fileName);
}

bool MainWindow::openDocument(const QString &location) {
    try {
        m_document->open(location);
    } catch (const AutomationError &error) {
        showError(tr("Could not open %1:\n%2").arg(location, error.description()));
        return false;
    }
    documentOpened(location);
    return true;
}

void MainWindow::documentOpened(const QString &location) {
    m_undo.clear();
    m_language->followControl();
    RecentItems::documents().remember(location);
    rebuildRecentMenu();
    connectRoles();
    updateTitle();
}

bool MainWindow::save() {
    if (m_document->isInLibrary())
        return m_library->save();
    return m_document->fileName().isEmpty() ? saveAs() : saveTo(m_document->fileName());
}

bool MainWindow::saveAs() {
    const QString fileName = documentDialog(FileDialogRequest::Mode::Save, tr("Save document as"),
                                            m_document->fileName());
    return !fileName.isEmpty() && saveTo(fileName);
}

bool MainWindow::saveTo(const QString &fileName) {
    try {
        m_document->save(fileName);
    } catch (const AutomationError &error) {
        showError(tr("Could not save %1; the file on disk is unchanged:\n%2")
                      .arg(fileName, error.description()));
        return false;
    }
    saved(fileName);
    return true;
}

void MainWindow::saved(const QString &location) {
    RecentItems::documents().remember(location);
    rebuildRecentMenu();
    updateTitle();
    statusBar()->showMessage(tr("Saved %1").arg(location), kMessageMs);
}

void MainWindow::listChanged(const QByteArray &before, const QByteArray &after) {
    m_undo.push(new ListChange(*m_document, before, after,
                               [this](const QString &description) { showError(description); }));
    benchStrip().refresh();
    updateTitle();
}

bool MainWindow::canUndo() {
    m_document->settle();
    return m_undo.canUndo();
}

void MainWindow::undo() {
    if (!canUndo())
        return;
    m_undo.undo();
    statusBar()->showMessage(tr("The last change to the list was taken back."), kMessageMs);
    updateTitle();
}

bool MainWindow::canUndoRestore() const {
    const BenchRole *role = m_document->model().findRole(currentView().role());
    return role && !role->history().isEmpty();
}

void MainWindow::undoRestore() {
    RoleView &view = currentView();
    if (!canUndoRestore())
        return;
    try {
        m_document->model().role(view.role()).undoRestore(*view.relay());
        view.control().ClearSelectedIcon();
        statusBar()->showMessage(
            tr("%1 is back to the setup it had before its last restore.").arg(view.relay()->name()),
            kMessageMs);
    } catch (const AutomationError &error) {
        showError(tr("Could not undo the restore:\n%1").arg(error.description()));
    }
    updateUndoRestore();
    updateTitle();
}

void MainWindow::updateUndoRestore() {
    if (m_undoRestore)
        m_undoRestore->setEnabled(canUndoRestore());
}

void MainWindow::selectStates(const QStringList &names) {
    currentView().comparison().select(names);
}

void MainWindow::showSettingsDialog() {
    SettingsDialog dialog(this);
    if (Interaction::current()->showModal(dialog) == QDialog::Accepted)
        dialog.store();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return;
    event->acceptProposedAction();
    // After the drop has ended, so that the drag source is not kept waiting on dialogs.
    const QString fileName = urls.front().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, fileName] { dropFile(fileName); }, Qt::QueuedConnection);
}

void MainWindow::dropFile(const QString &fileName) {
    if (QFileInfo(fileName).suffix().compare(QLatin1String("ixs"), Qt::CaseInsensitive) == 0)
        return openAfterSettling(fileName);
    const ScopedInteraction dropped(
        std::make_shared<DroppedFile>(Interaction::current(), fileName));
    control().importBtn->click();
}

void MainWindow::restoreLayout() {
    const QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        resize(1000, 420);
    m_roleTabs->restoreState(settings.value(kSplitterKey).toByteArray());
}

void MainWindow::saveLayout() {
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kSplitterKey, m_roleTabs->saveState());
}

bool MainWindow::settleChanges() {
    if (!m_document->isModified())
        return true;
    const int answer = Interaction::current()->messageBox(
        tr("The document has changed. Save the changes?"),
        MessageBoxStyle::YesNoCancel | MessageBoxStyle::Question, windowTitle());
    if (answer == MessageBoxResult::Yes)
        return save();
    return answer == MessageBoxResult::No;
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (settleChanges()) {
        saveLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::updateTitle() {
    const QString name = m_document->isInLibrary() ? m_document->location()
                         : m_document->fileName().isEmpty()
                             ? tr("Untitled")
                             : QFileInfo(m_document->fileName()).fileName();
    setWindowTitle(tr("%1[*] - %2 - IxoInstrSetups").arg(name, connection().description()));
    setWindowModified(m_document->isModified());
}

void MainWindow::recordRestore(const QString &role, const QString &state,
                               const QString &instrument) {
    try {
        m_document->recordRestore(role, state, instrument);
    } catch (const AutomationError &error) {
        showError(tr("%1 was restored, but the library could not add the restore to its audit "
                     "trail: %2")
                      .arg(state, error.description()));
    }
}

void MainWindow::showError(const QString &text) {
    Interaction::current()->messageBox(text, MessageBoxStyle::Critical, tr("IxoInstrSetups"));
}

} // namespace ixo
