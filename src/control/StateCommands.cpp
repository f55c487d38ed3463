#include "control/StateCommands.h"

#include "automation/AutomationError.h"
#include "automation/Collection.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "control/CommonDialog.h"
#include "control/EventGuard.h"
#include "control/InstrumentState.h"
#include "control/MarkerImages.h"
#include "control/ResourceText.h"
#include "control/frmEditName.h"
#include "locale/TextId.h"
#include "localization/IxoResourcesGlobals.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "model/StateMessages.h"
#include "support/StateFile.h"

namespace ixo {

namespace {

const QString kStateCommandsSource = QStringLiteral("IxoInstrSetups.InstrumentState");
const QString kCrLf = QStringLiteral("\r\n");
constexpr int kSaveFlags = FileDialogRequest::kOverwritePrompt | FileDialogRequest::kPathMustExist;

QString text(std::int32_t id) {
    return ResourceText::get(id);
}

int message(const QString &prompt, int style) {
    return Interaction::current()->messageBox(prompt, style, text(TextId::kErrorTitle));
}

QVariant refOf(const std::shared_ptr<ItemStateInfo> &state) {
    return QVariant::fromValue<ObjectRef>(state);
}

std::shared_ptr<ItemStateInfo> asState(const ObjectRef &object) {
    auto state = std::dynamic_pointer_cast<ItemStateInfo>(object);
    if (object && !state)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateCommandsSource);
    return state;
}

// A new dialog with the thread's texts.
std::unique_ptr<frmEditName> makeDialog() {
    auto dialog = std::make_unique<frmEditName>();
    gResourcesAgent->SetResourceValuesForObject(dialog.get());
    return dialog;
}

bool showDialog(std::unique_ptr<frmEditName> dialog) {
    Interaction::current()->showModal(*dialog);
    return dialog->okSelected;
}

// Later steps of an import go on when one of them fails.
template <typename Work> void skipFailure(Work &&work) noexcept {
    try {
        work();
    } catch (...) {
    }
}

// Sets the text anew so the row is drawn again with its icon.
void redraw(ListView &view, int row) {
    const QString rowText = view.rowText(row);
    view.setRowText(row, QStringLiteral("xxxxxxx"));
    view.setRowText(row, rowText);
}

// Shows the hourglass while it lives.
class Hourglass {
public:
    explicit Hourglass(InstrumentState &control)
        : m_control(control) {
        m_control.setMousePointer(InstrumentState::kHourglass);
    }
    ~Hourglass() { m_control.setMousePointer(InstrumentState::kDefaultPointer); }
    Hourglass(const Hourglass &) = delete;
    Hourglass &operator=(const Hourglass &) = delete;

private:
    InstrumentState &m_control;
};

} // namespace

StateCommands::StateCommands(InstrumentState &control)
    : m_control(control) {}

StateInfo &StateCommands::stateInfo() const {
    const std::shared_ptr<StateInfo> attached = m_control.stateInfo();
    if (!attached)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    return *attached;
}

Collection &StateCommands::items() const {
    const CollectionRef items = stateInfo().Items();
    if (!items)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    return *items;
}

SetupInterface &StateCommands::setup() const {
    const SetupInterfaceRef setup = stateInfo().SetupInterface();
    if (!setup)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    return *setup;
}

int StateCommands::selectedRow() const {
    const int row = m_control.stateListView->selectedRow();
    if (row == 0)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    return row;
}

// The state of the selected row, found by the row's text as key.
std::shared_ptr<ItemStateInfo> StateCommands::selectedState() const {
    const QString key = m_control.stateListView->rowText(selectedRow());
    auto state = asState(items().Item(key).value<ObjectRef>());
    if (!state)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    return state;
}

void StateCommands::showError(const QString &prompt) const {
    message(prompt, MessageBoxStyle::Critical);
}

void StateCommands::showDetails(const QString &description) const {
    showError(text(TextId::kErrorDetails) + description);
}

void StateCommands::markCurrent(int row) {
    m_control.ClearSelectedIcon();
    m_control.stateListView->setSmallIcon(row, MarkerImages::kCurrentSetup);
    redraw(*m_control.stateListView, row);
}

void StateCommands::captureNew() noexcept {
    EventGuard::run([this] {
        try {
            capture();
        } catch (const AutomationError &error) {
            m_control.setMousePointer(InstrumentState::kDefaultPointer);
            showError(text(TextId::kCaptureFailed) + kCrLf + kCrLf + text(TextId::kErrorDetails) +
                      error.description());
        }
    });
}

void StateCommands::capture() {
    auto dialog = makeDialog();
    dialog->setWindowTitle(text(TextId::kCaptureTitle));
    auto state = std::make_shared<ItemStateInfo>();
    state->Init(stateInfo().SetupInterface());
    state->setName(m_control.GetUniqueStateName());
    dialog->Init(state, stateInfo().Items());
    if (!showDialog(std::move(dialog)))
        return;
    const Hourglass hourglass(m_control);
    state->setData(setup().CaptureState());
    addCapturedRow(state);
    m_control.EnableStateButtons(true);
}

void StateCommands::addCapturedRow(const std::shared_ptr<ItemStateInfo> &state) {
    ListView &view = *m_control.stateListView;
    const int row = view.addRow(state->Name());
    try {
        view.setSubItem(row, 1, state->Description());
        view.setSelectedRow(row);
        markCurrent(row);
        items().Add(refOf(state), state->Name());
    } catch (...) {
        // A row without its state would put the list out of step.
        view.removeRow(row);
        throw;
    }
}

void StateCommands::restore() noexcept {
    EventGuard::run([this] {
        try {
            restoreSelected();
        } catch (const AutomationError &error) {
            const QString description = error.description();
            m_control.setMousePointer(InstrumentState::kDefaultPointer);
            showError(text(TextId::kRestoreFailed) + kCrLf + text(TextId::kErrorDetails) + kCrLf +
                      kCrLf + description);
        }
    });
}

void StateCommands::restoreSelected() {
    m_control.setMousePointer(InstrumentState::kHourglass);
    const auto state = selectedState();
    if (state->matchesInstrument(setup())) {
        setup().RestoreState(state->data());
        m_control.ClearSelectedIcon();
        markCurrent(selectedRow());
    } else {
        message(StateMessages::restoreRefused(*gResources, state->Model(), state->Version()),
                MessageBoxStyle::Exclamation);
    }
    m_control.setMousePointer(InstrumentState::kDefaultPointer);
}

void StateCommands::editName() noexcept {
    EventGuard::run([this] {
        const int row = m_control.stateListView->selectedRow();
        if (row == 0)
            return;
        try {
            rename(row);
        } catch (const AutomationError &error) {
            showDetails(error.description());
        }
    });
}

void StateCommands::rename(int row) {
    ListView &view = *m_control.stateListView;
    auto dialog = makeDialog();
    const QString oldName = view.rowText(row);
    const auto state = selectedState();
    const QString oldDescription = state->Description();
    dialog->Init(state, stateInfo().Items());
    dialog->setWindowTitle(text(TextId::kEditNameTitle) + oldName);
    if (!showDialog(std::move(dialog)))
        return;
    const QString newName = state->Name();
    if (newName != oldName) {
        if (items().containsKey(newName)) {
            // Another state has the name: take the change back before telling the user.
            state->setName(oldName);
            state->setDescription(oldDescription);
            throw AutomationError::standard(ErrorNumber::DuplicateKey, kStateCommandsSource);
        }
        const int icon = view.smallIcon(row);
        items().Remove(oldName);
        items().Add(refOf(state), newName);
        view.removeRow(row);
        row = view.addRow(newName);
        view.setSubItem(row, 1, state->Description());
        view.setSelectedRow(row);
        if (icon == MarkerImages::kCurrentSetup) {
            view.setSmallIcon(row, icon);
        } else if (icon != 0) {
            view.setSmallIcon(row, MarkerImages::kOtherInstrument);
            view.setForeColor(row, InstrumentState::kGrey);
        }
    }
    view.setSubItem(row, 1, state->Description());
}

void StateCommands::remove() noexcept {
    EventGuard::run([this] {
        const int row = m_control.stateListView->selectedRow();
        if (row == 0)
            return;
        try {
            removeRow(row);
        } catch (const AutomationError &error) {
            showDetails(error.description());
        }
    });
}

void StateCommands::removeRow(int row) {
    ListView &view = *m_control.stateListView;
    items().Remove(row);
    view.removeRow(row);
    view.viewport()->update();
    if (view.rowCount() == 0)
        m_control.EnableStateButtons(false);
    else
        view.setSelectedRow(1);
}

void StateCommands::exportState() noexcept {
    EventGuard::run([this] {
        try {
            exportSelected();
        } catch (const AutomationError &error) {
            showError(text(TextId::kExportFailed) + error.description());
        }
    });
}

void StateCommands::exportSelected() {
    const auto state = selectedState();
    CommonDialog &dialog = *m_control.OpenSaveDialog;
    dialog.setDialogTitle(text(TextId::kExportTitleBefore) + state->Name() +
                          text(TextId::kExportTitleAfter));
    dialog.setFilter(text(TextId::kStateFileFilter));
    dialog.setFlags(kSaveFlags);
    dialog.setFileName(m_control.stateListView->rowText(selectedRow()));
    dialog.ShowSave();
    const QString fileName = dialog.FileName();
    if (fileName.isEmpty())
        return;
    StateFile().SaveObject(state, fileName);
}

void StateCommands::importState() noexcept {
    EventGuard::run([this] {
        QString fileName;
        QString extension;
        std::shared_ptr<ItemStateInfo> state;
        try {
            if (!chooseImportFile(fileName, extension))
                return;
        } catch (const AutomationError &error) {
            return showDetails(error.description());
        }
        try {
            state = readImported(fileName, extension);
        } catch (const AutomationError &) {
            return showError(fileName + text(TextId::kNotAStateFile));
        }
        try {
            if (!fitsInstrument(state))
                return;
        } catch (const AutomationError &error) {
            return showDetails(error.description());
        }
        if (resolveNameClash(state))
            addImported(state);
    });
}

bool StateCommands::chooseImportFile(QString &fileName, QString &extension) {
    CommonDialog &dialog = *m_control.OpenSaveDialog;
    dialog.setDialogTitle(text(TextId::kImportTitle));
    dialog.setFilter(text(TextId::kStateFileFilter));
    const QString mask = VariantConvert::toString(stateInfo().LegacyDovetrackFileMask());
    if (!mask.isEmpty())
        dialog.setFilter(dialog.Filter() + QStringLiteral("|") + mask);
    dialog.ShowOpen();
    fileName = dialog.FileName();
    if (fileName.isEmpty())
        return false;
    extension = StateFile().FileExtension(fileName);
    return true;
}

std::shared_ptr<ItemStateInfo> StateCommands::readImported(const QString &fileName,
                                                           const QString &extension) {
    return StateImport::read(
        fileName, extension, [this]() -> SetupInterface & { return setup(); },
        [this] { return m_control.GetUniqueStateName(); });
}

bool StateCommands::fitsInstrument(const std::shared_ptr<ItemStateInfo> &state) {
    if (!state)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
    if (state->matchesInstrument(setup()))
        return true;
    showError(StateMessages::importRefused(*gResources, state->Model(), state->Version()));
    return false;
}

// Failures from here on are passed over, one operation at a time.
bool StateCommands::resolveNameClash(const std::shared_ptr<ItemStateInfo> &state) {
    bool taken = false;
    skipFailure([&] { taken = items().containsKey(state->Name()); });
    if (!taken)
        return true;
    skipFailure([&] {
        showError(text(TextId::kImportNameTakenBefore) + state->Name() +
                  text(TextId::kImportNameTakenAfter) + kCrLf + text(TextId::kMustRename));
    });
    std::unique_ptr<frmEditName> dialog;
    const auto made = [&dialog]() -> frmEditName & {
        if (!dialog)
            throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateCommandsSource);
        return *dialog;
    };
    skipFailure([&] { dialog = std::make_unique<frmEditName>(); });
    // Without its texts the dialog still serves, with those it was designed with.
    skipFailure([&] { gResourcesAgent->SetResourceValuesForObject(&made()); });
    skipFailure([&] { state->setName(m_control.GetUniqueStateName()); });
    skipFailure([&] { made().setWindowTitle(text(TextId::kImportTitle)); });
    skipFailure([&] { made().Init(state, stateInfo().Items()); });
    skipFailure([&] { Interaction::current()->showModal(made()); });
    bool ok = false;
    skipFailure([&] { ok = made().okSelected; });
    return ok;
}

void StateCommands::addImported(const std::shared_ptr<ItemStateInfo> &state) {
    ListView &view = *m_control.stateListView;
    try {
        items().Add(refOf(state), state->Name());
    } catch (...) {
        // Without its state in the list the row is not added either.
        return;
    }
    const int row = view.addRow(state->Name());
    skipFailure([&] { view.setSubItem(row, 1, state->Description()); });
    skipFailure([&] { m_control.EnableStateButtons(true); });
    skipFailure([&] { view.setSelectedRow(row); });
}

} // namespace ixo
