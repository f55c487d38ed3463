#include "desktop/MainWindow.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/FileDialogRequest.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/ScopedInteraction.h"
#include "control/InstrumentState.h"
#include "desktop/DroppedFile.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/ListChange.h"
#include "desktop/RecentItems.h"
#include "desktop/SettingsDialog.h"
#include "desktop/StateComparison.h"
#include "desktop/WindowLanguage.h"
#include "instruments/RestorePreview.h"
#include "instruments/StateDiff.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

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
    , m_connection(std::make_unique<InstrumentConnection>(std::move(instrument))) {
    const std::shared_ptr<InstrumentRelay> &relay = m_connection->relay();
    relay->setWindow(this);
    relay->setRestoreCheck([this](const QVariant &state) { previewRestore(state); });
    connect(m_connection.get(), &InstrumentConnection::switched, this,
            &MainWindow::instrumentSwitched);
    connect(m_connection.get(), &InstrumentConnection::statusChanged, this,
            [this](const QString &message) { showConnection(message); });
    buildLayout(std::move(settings));
    m_document = std::make_unique<SetupsDocument>(
        *m_control, relay, [relay = relay.get()] { return relay->isConnected(); });
    m_document->reset();
    connect(m_document.get(), &SetupsDocument::listChanged, this, &MainWindow::listChanged);
    m_comparison = std::make_unique<StateComparison>(*m_control, *m_panel, *m_document);
    connect(m_comparison.get(), &StateComparison::comparing, statusBar(),
            [this](const QString &message) { statusBar()->showMessage(message); });
    m_language = std::make_unique<WindowLanguage>(*m_control);
    connect(m_language.get(), &WindowLanguage::switched, this,
            [this](const QString &message, int timeoutMs) {
                statusBar()->showMessage(message, timeoutMs);
                updateTitle();
            });
    // The panel has asked already; a connection that failed there is not waited on twice.
    m_connection->identify();
    buildMenus();
    restoreLayout();
    showConnection();
    updateTitle();
}

MainWindow::~MainWindow() = default;

// The control keeps its design size; the settings take the rest of the window.
void MainWindow::buildLayout(InstrumentSettings settings) {
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    auto *holder = new QWidget(m_splitter);
    auto *holderLayout = new QVBoxLayout(holder);
    m_control = new InstrumentState(holder);
    holderLayout->addWidget(m_control);
    holderLayout->addStretch(1);
    holder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_panel = new InstrumentPanel(*m_connection->relay(), std::move(settings), m_splitter);
    m_splitter->addWidget(holder);
    m_splitter->addWidget(m_panel);
    m_splitter->setCollapsible(0, false);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    setAcceptDrops(true);
    m_connectionLabel = new QLabel(this);
    m_connectionLabel->setObjectName(QStringLiteral("connectionStatus"));
    statusBar()->addPermanentWidget(m_connectionLabel);
}

void MainWindow::buildMenus() {
    qDeleteAll(menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
    menuBar()->clear();
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, &MainWindow::newDocument);
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::open);
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::save);
    file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainWindow::saveAs);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    QAction *undoAction = m_undo.createUndoAction(edit, tr("&Undo"));
    undoAction->setShortcut(QKeySequence::Undo);
    edit->addAction(undoAction);
    QAction *redoAction = m_undo.createRedoAction(edit, tr("&Redo"));
    redoAction->setShortcut(QKeySequence::Redo);
    edit->addAction(redoAction);
    edit->addSeparator();
    edit->addAction(tr("Se&ttings..."), this, &MainWindow::showSettingsDialog);
    m_instrumentMenu = menuBar()->addMenu(tr("&Instrument"));
    m_language->addActions(*menuBar()->addMenu(tr("&Language")));
    rebuildRecentMenu();
    rebuildInstrumentMenu();
}

void MainWindow::rebuildInstrumentMenu() {
    m_instrumentMenu->clear();
    m_instrumentMenu->addAction(tr("&Connect..."), this, &MainWindow::showConnectDialog);
    m_instrumentMenu->addAction(tr("&Disconnect"), this, &MainWindow::disconnectInstrument)
        ->setEnabled(m_connection->isConnected());
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
    const std::unique_ptr<ConnectDialog> dialog = m_connection->makeConnectDialog(this);
    if (Interaction::current()->showModal(*dialog) == QDialog::Accepted)
        connectTo(dialog->resource());
}

bool MainWindow::connectTo(const QString &resource) {
    try {
        m_connection->connectTo(resource);
    } catch (const AutomationError &error) {
        showError(tr("Could not connect to %1; the connection stays as it was:\n%2")
                      .arg(resource.trimmed(), error.description()));
        return false;
    }
    statusBar()->showMessage(tr("Connected to %1").arg(m_connection->description()), kMessageMs);
    return true;
}

void MainWindow::disconnectInstrument() {
    if (!m_connection->isConnected())
        return;
    const QString before = m_connection->description();
    m_connection->disconnect();
    statusBar()->showMessage(tr("Disconnected from %1").arg(before), kMessageMs);
}

// The list stays; attached anew, its rows are marked for the instrument now connected.
void MainWindow::instrumentSwitched(const InstrumentSettings &settings) {
    m_panel->setSettings(settings);
    try {
        m_document->reattach();
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    m_comparison->clear();
    m_panel->refresh();
    rebuildInstrumentMenu();
    showConnection();
    updateTitle();
}

QString MainWindow::connectionStatus() const {
    return m_connectionLabel->text();
}

void MainWindow::showConnection(const QString &message) {
    m_connectionLabel->setText(m_connection->status());
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

bool MainWindow::openDocument(const QString &fileName) {
    try {
        m_document->open(fileName);
    } catch (const AutomationError &error) {
        showError(tr("Could not open %1:\n%2").arg(fileName, error.description()));
        return false;
    }
    m_undo.clear();
    m_language->followControl();
    RecentItems::documents().remember(fileName);
    rebuildRecentMenu();
    updateTitle();
    return true;
}

bool MainWindow::save() {
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
    RecentItems::documents().remember(fileName);
    rebuildRecentMenu();
    updateTitle();
    statusBar()->showMessage(tr("Saved %1").arg(fileName), kMessageMs);
    return true;
}

void MainWindow::listChanged(const QByteArray &before, const QByteArray &after) {
    m_undo.push(new ListChange(*m_document, before, after,
                               [this](const QString &description) { showError(description); }));
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

void MainWindow::selectStates(const QStringList &names) {
    m_comparison->select(names);
}

void MainWindow::previewRestore(const QVariant &state) {
    if (!SettingsDialog::previewEnabled())
        return;
    const StateDiff diff = StateDiff::compare(m_connection->relay()->CaptureState(), state);
    const int answer = Interaction::current()->messageBox(
        RestorePreview::question(m_connection->relay()->name(), diff),
        MessageBoxStyle::YesNo | MessageBoxStyle::Question, RestorePreview::title());
    if (answer != MessageBoxResult::Yes)
        throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                              tr("Cancelled by the user"));
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
    m_control->importBtn->click();
}

void MainWindow::restoreLayout() {
    const QSettings settings;
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray()))
        resize(1000, 420);
    m_splitter->restoreState(settings.value(kSplitterKey).toByteArray());
}

void MainWindow::saveLayout() {
    QSettings settings;
    settings.setValue(kGeometryKey, saveGeometry());
    settings.setValue(kSplitterKey, m_splitter->saveState());
}

bool MainWindow::settleChanges() {
    if (!m_document->isModified())
        return true;
    const int answer = Interaction::current()->messageBox(
        tr("The list of saved states has changed. Save the changes?"),
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
    const QString name = m_document->fileName().isEmpty()
                             ? tr("Untitled")
                             : QFileInfo(m_document->fileName()).fileName();
    setWindowTitle(tr("%1[*] - %2 - IxoInstrSetups").arg(name, m_connection->description()));
    setWindowModified(m_document->isModified());
}

void MainWindow::showError(const QString &text) {
    Interaction::current()->messageBox(text, MessageBoxStyle::Critical, tr("IxoInstrSetups"));
}

} // namespace ixo
