#include "MainWindow.h"

#include "InstrumentPanel.h"
#include "ObservedInstrument.h"
#include "automation/AutomationError.h"
#include "automation/widgets/FileDialogRequest.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "control/InstrumentState.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>

namespace ixo {

namespace {

const QString kFilter = QStringLiteral("Instrument setup documents (*.ixs)|*.ixs|All files|*");
const QString kRecentKey = QStringLiteral("recentFiles");
constexpr int kMaxRecent = 6;

QString documentDialog(FileDialogRequest::Mode mode, const QString &title,
                       const QString &fileName) {
    FileDialogRequest request;
    request.mode = mode;
    request.title = title;
    request.filter = kFilter;
    request.fileName = fileName;
    request.flags = FileDialogRequest::kOverwritePrompt | FileDialogRequest::kPathMustExist;
    return Interaction::current()->fileDialog(request);
}

} // namespace

MainWindow::MainWindow(SetupInterfaceRef instrument, InstrumentSettings settings, QWidget *parent)
    : QMainWindow(parent)
    , m_instrument(std::make_shared<ObservedInstrument>(std::move(instrument)))
    , m_control(nullptr) {
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    m_control = new InstrumentState(central);
    layout->addWidget(m_control, 0, Qt::AlignTop);
    layout->addWidget(new InstrumentPanel(*m_instrument, std::move(settings), central), 1);
    setCentralWidget(central);
    m_document = std::make_unique<SetupsDocument>(*m_control, m_instrument);
    m_document->reset();
    // Each command has run by the time these are called.
    for (QPushButton *button : m_control->findChildren<QPushButton *>())
        connect(button, &QPushButton::clicked, this, &MainWindow::updateTitle);
    buildMenus();
    resize(900, 360);
    updateTitle();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus() {
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"), QKeySequence::New, this, &MainWindow::newDocument);
    file->addAction(tr("&Open..."), QKeySequence::Open, this, &MainWindow::open);
    m_recentMenu = file->addMenu(tr("Open &Recent"));
    file->addAction(tr("&Save"), QKeySequence::Save, this, &MainWindow::save);
    file->addAction(tr("Save &As..."), QKeySequence::SaveAs, this, &MainWindow::saveAs);
    file->addSeparator();
    file->addAction(tr("&Quit"), QKeySequence::Quit, this, &QWidget::close);
    buildLanguageMenu(*menuBar()->addMenu(tr("&Language")));
    rebuildRecentMenu();
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

void MainWindow::switchLanguage(int countryCode, const QString &language) {
    try {
        m_control->LoadResources(countryCode);
        if (m_control->CountryCode() != countryCode)
            statusBar()->showMessage(
                tr("%1 is not available here (its catalogue or font is missing); the texts stay "
                   "in English.")
                    .arg(language));
        else
            statusBar()->showMessage(tr("Language: %1").arg(language), 5000);
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    updateTitle();
}

void MainWindow::newDocument() {
    if (!settleChanges())
        return;
    m_document->reset();
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
    if (settleChanges())
        event->accept();
    else
        event->ignore();
}

void MainWindow::updateTitle() {
    const QString name = m_document->fileName().isEmpty()
                             ? tr("Untitled")
                             : QFileInfo(m_document->fileName()).fileName();
    setWindowTitle(tr("%1[*] - IxoInstrSetups").arg(name));
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
