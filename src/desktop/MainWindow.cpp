#include "desktop/MainWindow.h"

#include "automation/AutomationError.h"
#include "automation/Collection.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/FileDialogRequest.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/ScopedInteraction.h"
#include "control/InstrumentState.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/ObservedInstrument.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ScpiSettings.h"
#include "instruments/StateDiff.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace ixo {

const QString MainWindow::kPreviewKey = QStringLiteral("restorePreview");
const QString MainWindow::kVerifyKey = QStringLiteral("verifyRestore");
const QString MainWindow::kRecentResourcesKey = QStringLiteral("recentResources");

namespace {

const QString kRecentKey = QStringLiteral("recentFiles");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kSplitterKey = QStringLiteral("window/splitter");
constexpr int kMaxRecent = 6;
constexpr int kMaxPreviewLines = 40;

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

QString nameOf(const SetupInterfaceRef &instrument) {
    if (const auto scpi = std::dynamic_pointer_cast<ScpiInstrument>(instrument))
        return scpi->resourceName();
    return MainWindow::tr("the instrument");
}

// Weak, so that only the window's own reference decides where the instrument is let go.
std::function<void()> cancelOf(const SetupInterfaceRef &instrument) {
    if (const auto scpi = std::dynamic_pointer_cast<ScpiInstrument>(instrument))
        return [weak = std::weak_ptr<ScpiInstrument>(scpi)] {
            if (const auto held = weak.lock())
                held->cancel();
        };
    return {};
}

} // namespace

// It keeps the instrument only weakly, so that letting the instrument go closes its
// connection on the instrument's thread.
InstrumentSettings MainWindow::scpiSettingsOf(const std::shared_ptr<ScpiInstrument> &instrument) {
    const std::weak_ptr<ScpiInstrument> weak = instrument;
    const auto settings = [weak] {
        const auto held = weak.lock();
        if (!held)
            throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                                  ObservedInstrument::notConnectedText());
        return ScpiSettings(held);
    };
    return {[settings] { return settings().read(); },
            [settings](const QString &header, const QString &value) {
                settings().write(header, value);
            }};
}

namespace {

// Answers the import command's file dialog with a dropped file, so that a drop takes the
// command's own path; everything else goes to the interaction that was there before.
class DroppedFile : public Interaction {
public:
    DroppedFile(InteractionRef next, QString fileName)
        : m_next(std::move(next))
        , m_fileName(std::move(fileName)) {}

    int messageBox(const QString &text, int style, const QString &title) override {
        return m_next->messageBox(text, style, title);
    }
    QString fileDialog(const FileDialogRequest &request) override {
        if (m_fileName.isEmpty())
            return m_next->fileDialog(request);
        return std::exchange(m_fileName, QString());
    }
    int showModal(QDialog &dialog) override { return m_next->showModal(dialog); }

private:
    InteractionRef m_next;
    QString m_fileName;
};

QString languageSuffix(int countryCode) {
    switch (countryCode) {
    case 49:
        return QStringLiteral("de");
    case 33:
        return QStringLiteral("fr");
    case 81:
        return QStringLiteral("ja");
    default:
        return {};
    }
}

} // namespace

MainWindow::MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings, QWidget *parent)
    : MainWindow(instrument, std::move(settings), nameOf(instrument), cancelOf(instrument),
                 parent) {}

MainWindow::MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings,
                       const QString &name, std::function<void()> cancel, QWidget *parent)
    : QMainWindow(parent)
    , m_instrument(
          std::make_shared<ObservedInstrument>(std::move(instrument), name, std::move(cancel))) {
    m_instrument->setWindow(this);
    m_opener = [](const QString &resource) { return InstrumentFactory::open(resource); };
    connect(m_instrument.get(), &ObservedInstrument::connectionLost, this,
            &MainWindow::connectionLost);
    connect(m_instrument.get(), &ObservedInstrument::connectionRestored, this,
            &MainWindow::connectionRestored);
    m_instrument->setRestoreCheck([this](const QVariant &state) { previewRestore(state); });
    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitter"));
    // The control keeps its design size; the settings take the rest of the window.
    auto *holder = new QWidget(m_splitter);
    auto *holderLayout = new QVBoxLayout(holder);
    m_control = new InstrumentState(holder);
    holderLayout->addWidget(m_control);
    holderLayout->addStretch(1);
    holder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_panel = new InstrumentPanel(*m_instrument, std::move(settings), m_splitter);
    m_splitter->addWidget(holder);
    m_splitter->addWidget(m_panel);
    m_splitter->setCollapsible(0, false);
    m_splitter->setStretchFactor(1, 1);
    setCentralWidget(m_splitter);
    m_document = std::make_unique<SetupsDocument>(
        *m_control, m_instrument,
        [instrument = m_instrument.get()] { return instrument->isConnected(); });
    m_document->reset();
    // Each command has run by the time these are called.
    for (QPushButton *button : m_control->findChildren<QPushButton *>())
        connect(button, &QPushButton::clicked, this, &MainWindow::updateTitle);
    watchListChanges();
    connect(m_control, &InstrumentState::SelectionChanged, this, &MainWindow::stateSelected);
    m_control->stateListView->viewport()->installEventFilter(this);
    setAcceptDrops(true);
    m_connectionLabel = new QLabel(this);
    m_connectionLabel->setObjectName(QStringLiteral("connectionStatus"));
    statusBar()->addPermanentWidget(m_connectionLabel);
    // The panel has asked already; a connection that failed there is not waited on twice.
    if (m_instrument->isConnected() && !m_instrument->isConnectionLost()) {
        try {
            m_model = m_instrument->Model();
        } catch (const AutomationError &) {
            // Shown by the status bar as a lost connection.
        }
    }
    buildMenus();
    restoreLayout();
    showConnection();
    updateTitle();
}

MainWindow::~MainWindow() = default;

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
    m_undoAction = edit->addAction(tr("&Undo"), QKeySequence::Undo, this, &MainWindow::undo);
    m_undoAction->setEnabled(canUndo());
    edit->addSeparator();
    edit->addAction(tr("Se&ttings..."), this, &MainWindow::showSettingsDialog);
    m_instrumentMenu = menuBar()->addMenu(tr("&Instrument"));
    buildLanguageMenu(*menuBar()->addMenu(tr("&Language")));
    rebuildRecentMenu();
    rebuildInstrumentMenu();
}

void MainWindow::rebuildInstrumentMenu() {
    m_instrumentMenu->clear();
    QAction *connectAction =
        m_instrumentMenu->addAction(tr("&Connect..."), this, &MainWindow::showConnectDialog);
    connectAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    QAction *disconnectAction =
        m_instrumentMenu->addAction(tr("&Disconnect"), this, &MainWindow::disconnectInstrument);
    disconnectAction->setEnabled(isConnected());
    const QStringList recent = recentResources();
    if (!recent.isEmpty())
        m_instrumentMenu->addSection(tr("Recent instruments"));
    for (const QString &resource : recent)
        m_instrumentMenu->addAction(resource, this, [this, resource] { connectTo(resource); });
}

void MainWindow::rememberResource(const QString &resource) {
    if (resource.trimmed().isEmpty())
        return;
    QSettings settings;
    QStringList recent = settings.value(kRecentResourcesKey).toStringList();
    recent.removeIf(
        [&](const QString &known) { return known.compare(resource, Qt::CaseInsensitive) == 0; });
    recent.prepend(resource.trimmed());
    settings.setValue(kRecentResourcesKey, recent.mid(0, kMaxRecentResources));
}

QStringList MainWindow::recentResources() {
    return QSettings().value(kRecentResourcesKey).toStringList();
}

void MainWindow::setOpener(ConnectDialog::Opener opener) {
    m_opener = std::move(opener);
}

void MainWindow::setProfileDescriber(ConnectDialog::ProfileDescriber describer) {
    m_profileDescriber = std::move(describer);
}

void MainWindow::setDiscoveryOptions(const InstrumentDiscovery::Options &options) {
    m_discoveryOptions = options;
}

std::unique_ptr<ConnectDialog> MainWindow::makeConnectDialog() {
    QStringList recent = recentResources();
    if (isConnected() && !m_resource.isEmpty()) {
        // The connected instrument is offered first.
        recent.removeAll(m_resource);
        recent.prepend(m_resource);
    }
    return std::make_unique<ConnectDialog>(recent, m_discoveryOptions, m_profileDescriber, m_opener,
                                           this);
}

void MainWindow::showConnectDialog() {
    const std::unique_ptr<ConnectDialog> dialog = makeConnectDialog();
    if (Interaction::current()->showModal(*dialog) == QDialog::Accepted)
        connectTo(dialog->resource());
}

bool MainWindow::connectTo(const QString &resource) {
    std::shared_ptr<ScpiInstrument> instrument;
    QString model;
    try {
        instrument = m_opener(resource.trimmed());
        model = m_instrument->runApart([instrument] { return instrument->Model(); },
                                       tr("Connecting to %1...").arg(resource.trimmed()),
                                       [instrument] { instrument->cancel(); });
    } catch (const AutomationError &error) {
        if (instrument) {
            // Closed on the thread that opened it.
            m_instrument->runApart([instrument] { instrument->disconnect(); }, QString(), {});
        }
        showError(tr("Could not connect to %1; the connection stays as it was:\n%2")
                      .arg(resource.trimmed(), error.description()));
        return false;
    }
    const QString name = instrument->resourceName();
    rememberResource(resource);
    m_resource = resource.trimmed();
    switchInstrument(instrument, scpiSettingsOf(instrument), name, cancelOf(instrument), model);
    statusBar()->showMessage(tr("Connected to %1").arg(instrumentText()), 5000);
    return true;
}

void MainWindow::disconnectInstrument() {
    if (!isConnected())
        return;
    const QString before = instrumentText();
    switchInstrument(nullptr, {}, QString(), {}, QString());
    m_resource.clear();
    statusBar()->showMessage(tr("Disconnected from %1").arg(before), 5000);
}

void MainWindow::switchInstrument(SetupInterfaceRef instrument, InstrumentSettings settings,
                                  const QString &name, std::function<void()> cancel,
                                  const QString &model) {
    m_panel->setSettings(std::move(settings));
    m_instrument->setInstrument(std::move(instrument), name, std::move(cancel));
    m_model = model;
    markListForInstrument();
    m_panel->refresh();
    rebuildInstrumentMenu();
    showConnection();
    updateTitle();
}

// The list stays; attached anew, its rows are marked for the instrument now connected.
void MainWindow::markListForInstrument() {
    try {
        m_document->reattach();
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    m_selected.clear();
    m_comparedWith.clear();
    compareSelection();
}

bool MainWindow::isConnected() const {
    return m_instrument->isConnected();
}

QString MainWindow::instrumentText() const {
    if (!isConnected())
        return tr("no instrument");
    return m_model.isEmpty() ? m_instrument->name()
                             : tr("%1 (%2)").arg(m_instrument->name(), m_model);
}

QString MainWindow::connectionStatus() const {
    return m_connectionLabel->text();
}

void MainWindow::showConnection() {
    if (!isConnected())
        m_connectionLabel->setText(tr("Not connected"));
    else if (m_instrument->isConnectionLost())
        m_connectionLabel->setText(
            tr("Connection to %1 lost; the next command reconnects").arg(m_instrument->name()));
    else
        m_connectionLabel->setText(tr("Connected to %1").arg(instrumentText()));
}

void MainWindow::connectionLost(const QString &description) {
    showConnection();
    statusBar()->showMessage(description);
}

void MainWindow::connectionRestored() {
    showConnection();
    statusBar()->showMessage(tr("Reconnected to %1").arg(instrumentText()), 5000);
}

void MainWindow::buildLanguageMenu(QMenu &menu) {
    const std::pair<int, QString> languages[] = {{0, QStringLiteral("English")},
                                                 {49, QStringLiteral("Deutsch")},
                                                 {33, QStringLiteral("Français")},
                                                 {81, QStringLiteral("日本語")}};
    for (const auto &[code, name] : languages)
        menu.addAction(name, this,
                       [this, code = code, name = name] { switchLanguage(code, name); });
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

void MainWindow::switchLanguage(int countryCode, const QString &language) {
    try {
        m_control->LoadResources(countryCode);
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    followControlLanguage();
    if (m_control->CountryCode() != countryCode)
        statusBar()->showMessage(
            tr("%1 is not available here (its catalogue or font is missing); the texts stay "
               "in English.")
                .arg(language));
    else
        statusBar()->showMessage(tr("Language: %1").arg(language), 5000);
    updateTitle();
}

// The window speaks the language the control could switch to.
void MainWindow::followControlLanguage() {
    const int code = m_control->CountryCode();
    if (code == m_countryCode)
        return;
    QCoreApplication::removeTranslator(&m_translator);
    const QString suffix = languageSuffix(code);
    if (!suffix.isEmpty() &&
        m_translator.load(QStringLiteral(":/i18n/ixo-setups_%1.qm").arg(suffix)))
        QCoreApplication::installTranslator(&m_translator);
    m_countryCode = code;
}

void MainWindow::newDocument() {
    if (!settleChanges())
        return;
    m_document->reset();
    forgetUndo();
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

bool MainWindow::openDocument(const QString &fileName) {
    try {
        m_document->open(fileName);
    } catch (const AutomationError &error) {
        showError(tr("Could not open %1:\n%2").arg(fileName, error.description()));
        return false;
    }
    forgetUndo();
    followControlLanguage();
    rememberRecent(fileName);
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
    rememberRecent(fileName);
    updateTitle();
    statusBar()->showMessage(tr("Saved %1").arg(fileName), 5000);
    return true;
}

// Capture, rename, remove and import change the list; what it was before each is kept.
void MainWindow::watchListChanges() {
    for (QPushButton *button : {m_control->captureNewBtn, m_control->editNameBtn,
                                m_control->removeBtn, m_control->importBtn}) {
        connect(button, &QPushButton::pressed, this,
                [this] { m_beforeCommand = m_document->listContents(); });
        connect(button, &QPushButton::clicked, this, [this] {
            if (!m_beforeCommand.isEmpty() && m_document->listContents() != m_beforeCommand)
                m_undo.push_back(m_beforeCommand);
            m_beforeCommand.clear();
            m_undoAction->setEnabled(canUndo());
        });
    }
}

void MainWindow::undo() {
    if (m_undo.empty())
        return;
    try {
        m_document->restoreList(m_undo.back());
    } catch (const AutomationError &error) {
        showError(error.description());
        return;
    }
    m_undo.pop_back();
    m_undoAction->setEnabled(canUndo());
    statusBar()->showMessage(tr("The last change to the list was taken back."), 5000);
    updateTitle();
}

void MainWindow::forgetUndo() {
    m_undo.clear();
    if (m_undoAction)
        m_undoAction->setEnabled(false);
}

void MainWindow::stateSelected(const QString &name) {
    m_selected = name;
    m_comparedWith.clear();
    compareSelection();
}

void MainWindow::selectStates(const QStringList &names) {
    ListView &list = *m_control->stateListView;
    for (int row = 1; row <= list.rowCount(); ++row) {
        if (!names.isEmpty() && list.rowText(row).compare(names[0], Qt::CaseInsensitive) == 0)
            list.setSelectedRow(row);
    }
    if (names.size() > 1 && !m_selected.isEmpty()) {
        m_comparedWith = names[1];
        compareSelection();
    }
}

void MainWindow::compareSelection() {
    QList<InstrumentPanel::Compared> compared;
    for (const QString &name : {m_selected, m_comparedWith}) {
        const QVariant data = name.isEmpty() ? QVariant() : stateData(name);
        if (data.isValid())
            compared.push_back({name, data});
    }
    m_panel->compare(compared);
}

QVariant MainWindow::stateData(const QString &name) const {
    try {
        const auto state = std::dynamic_pointer_cast<ItemStateInfo>(
            m_document->stateInfo()->Items()->Item(name).value<ObjectRef>());
        return state ? state->data() : QVariant();
    } catch (const AutomationError &) {
        return {};
    }
}

// Ctrl+click on a second row compares it with the highlighted one, which stays highlighted.
bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const ListView &list = *m_control->stateListView;
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier)) {
            const QTreeWidgetItem *item = list.QTreeWidget::itemAt(mouse->position().toPoint());
            if (item && !m_selected.isEmpty() && item->text(0) != m_selected) {
                m_comparedWith = item->text(0);
                compareSelection();
                statusBar()->showMessage(
                    tr("Comparing \"%1\" with \"%2\"").arg(m_selected, m_comparedWith));
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::previewEnabled() {
    return QSettings().value(kPreviewKey, true).toBool();
}

bool MainWindow::verifyEnabled() {
    return QSettings().value(kVerifyKey, false).toBool();
}

void MainWindow::previewRestore(const QVariant &state) {
    if (!previewEnabled())
        return;
    const StateDiff diff = StateDiff::compare(m_instrument->CaptureState(), state);
    QStringList lines;
    if (!diff.isText()) {
        lines << (diff.same() ? tr("The saved setup block is the same as the instrument's.")
                              : tr("The instrument's setup block (%1 bytes) is replaced by the "
                                   "saved one (%2 bytes).")
                                    .arg(diff.block(0).size)
                                    .arg(diff.block(1).size));
    } else {
        for (const StateDiff::Setting &setting : diff.settings()) {
            if (setting.change == StateDiff::Change::Changed)
                lines << tr("%1: %2 becomes %3").arg(setting.header, setting.first, setting.second);
            else if (setting.change == StateDiff::Change::OnlySecond)
                lines << tr("%1: set to %2").arg(setting.header, setting.second);
            else if (setting.change == StateDiff::Change::OnlyFirst)
                lines << tr("%1: %2 (not in the saved state)").arg(setting.header, setting.first);
        }
        if (lines.isEmpty())
            lines << tr("The restore changes no setting.");
    }
    if (lines.size() > kMaxPreviewLines) {
        const qsizetype more = lines.size() - kMaxPreviewLines;
        lines = lines.mid(0, kMaxPreviewLines);
        lines << tr("... and %1 more").arg(more);
    }
    const int answer = Interaction::current()->messageBox(
        tr("Restoring the saved state changes these settings of %1:\n\n%2\n\nRestore it?")
            .arg(m_instrument->name(), lines.join(QLatin1Char('\n'))),
        MessageBoxStyle::YesNo | MessageBoxStyle::Question, tr("Restore preview"));
    if (answer != MessageBoxResult::Yes)
        throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                              tr("Cancelled by the user"));
}

void MainWindow::showSettingsDialog() {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Settings"));
    auto *preview =
        new QCheckBox(tr("Before a restore, show the settings it changes and ask"), &dialog);
    preview->setObjectName(QStringLiteral("restorePreview"));
    preview->setChecked(previewEnabled());
    auto *verify = new QCheckBox(
        tr("After a restore, capture again and warn of settings that did not take (from the "
           "next connection on)"),
        &dialog);
    verify->setObjectName(QStringLiteral("verifyRestore"));
    verify->setChecked(verifyEnabled());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(preview);
    layout->addWidget(verify);
    layout->addWidget(buttons);
    if (Interaction::current()->showModal(dialog) == QDialog::Accepted) {
        QSettings().setValue(kPreviewKey, preview->isChecked());
        QSettings().setValue(kVerifyKey, verify->isChecked());
    }
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
    if (QFileInfo(fileName).suffix().compare(QLatin1String("ixs"), Qt::CaseInsensitive) == 0) {
        if (settleChanges())
            openDocument(fileName);
        return;
    }
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
    setWindowTitle(tr("%1[*] - %2 - IxoInstrSetups").arg(name, instrumentText()));
    setWindowModified(m_document->isModified());
}

void MainWindow::rememberRecent(const QString &fileName) {
    QSettings settings;
    QStringList recent = settings.value(kRecentKey).toStringList();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    recent.removeAll(path);
    recent.prepend(path);
    settings.setValue(kRecentKey, recent.mid(0, kMaxRecent));
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    m_recentMenu->clear();
    const QStringList recent = QSettings().value(kRecentKey).toStringList();
    for (const QString &path : recent) {
        m_recentMenu->addAction(path, this, [this, path] {
            if (settleChanges())
                openDocument(path);
        });
    }
    m_recentMenu->setEnabled(!recent.isEmpty());
}

void MainWindow::showError(const QString &text) {
    Interaction::current()->messageBox(text, MessageBoxStyle::Critical, tr("IxoInstrSetups"));
}

} // namespace ixo
