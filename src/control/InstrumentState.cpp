#include "control/InstrumentState.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantConvert.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/Twips.h"
#include "control/CommonDialog.h"
#include "control/MarkerImages.h"
#include "control/ResourceText.h"
#include "control/SharedEditName.h"
#include "control/StateCommands.h"
#include "control/frmEditName.h"
#include "locale/TextId.h"
#include "localization/IxoResourcesGlobals.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"

#include <QGroupBox>
#include <QPushButton>

namespace ixo {

const QColor InstrumentState::kGrey(128, 128, 128);

namespace {

const QString kInstrumentStateSource = QStringLiteral("IxoInstrSetups.InstrumentState");
const QString kCountryCode = QStringLiteral("CountryCode");
const QString kHelpFile = QStringLiteral("IxoInstrSetups.chm");
constexpr std::int32_t kPropertiesHelpContext = 750;

struct Design {
    const char *name;
    int left, top, width, height;
    const char *tag;
    const char *caption;
    const char *toolTip;
};

QPushButton *makeButton(QWidget &parent, const Design &design) {
    // Owned by the control through the Qt parent.
    auto *button = new QPushButton(QString::fromLatin1(design.caption), &parent);
    button->setObjectName(QString::fromLatin1(design.name));
    button->setProperty("Tag", QString::fromLatin1(design.tag));
    button->setToolTip(QString::fromLatin1(design.toolTip));
    Twips::place(*button, design.left, design.top, design.width, design.height);
    return button;
}

QGroupBox *makeFrame(QWidget &parent, const Design &design) {
    auto *frame = new QGroupBox(QString::fromLatin1(design.caption), &parent);
    frame->setObjectName(QString::fromLatin1(design.name));
    if (*design.tag)
        frame->setProperty("Tag", QString::fromLatin1(design.tag));
    frame->setFocusPolicy(Qt::NoFocus);
    Twips::place(*frame, design.left, design.top, design.width, design.height);
    return frame;
}

std::shared_ptr<ItemStateInfo> stateAt(const StateInfo &stateInfo, int index) {
    auto state = stateInfo.item(index);
    if (!state)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kInstrumentStateSource);
    return state;
}

SetupInterface &setupOf(const StateInfo &stateInfo) {
    const SetupInterfaceRef setup = stateInfo.SetupInterface();
    if (!setup)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kInstrumentStateSource);
    return *setup;
}

} // namespace

InstrumentState::InstrumentState(QWidget *parent)
    : QWidget(parent)
    , m_commands(std::make_unique<StateCommands>(*this)) {
    buildControls();
    InitResources(MemberAccess::controlsOf(*this));
    sizeColumns();
}

InstrumentState::~InstrumentState() {
    FreeResources();
    if (resourcesUserCount() == 0)
        SharedEditName::release();
}

// The frames come first so that they lie under the controls they surround.
void InstrumentState::buildControls() {
    setObjectName(QStringLiteral("InstrumentState"));
    setFixedSize(Twips::toPixelsX(5955, *this), Twips::toPixelsY(4005, *this));
    Frame1 = makeFrame(*this, {"Frame1", 0, 0, 4215, 3975, "", "", ""});
    Frame3 = makeFrame(
        *Frame1, {"Frame3", 1560, 2640, 1455, 1215, "Caption=207", "Optional frame caption", ""});
    Frame2 = makeFrame(
        *this, {"Frame2", 4320, 0, 1575, 2535, "Caption=202", "Instrument State fram caption", ""});
    buildListView();
    editNameBtn =
        makeButton(*this, {"editNameBtn", 120, 2880, 1095, 375, "Caption=205;ToolTipText=237",
                           "Edit Name... button caption", "Edit Name button ToolTipText"});
    removeBtn = makeButton(*this, {"removeBtn", 120, 3360, 1095, 375, "Caption=206;ToolTipText=238",
                                   "Remove button caption", "Remove button ToolTipText"});
    importBtn =
        makeButton(*this, {"importBtn", 1800, 2880, 1095, 375, "Caption=208;ToolTipText=240",
                           "Import... button caption", "Import button ToolTipText"});
    exportBtn =
        makeButton(*this, {"exportBtn", 1800, 3360, 1095, 375, "Caption=209;ToolTipText=241",
                           "Export... button caption", "Export button ToolTipText"});
    captureNewBtn =
        makeButton(*this, {"captureNewBtn", 4440, 360, 1335, 375, "Caption=203;ToolTipText=235",
                           "Capture New button Caption", "Capture New button ToolTip"});
    restoreBtn =
        makeButton(*this, {"restoreBtn", 4440, 1380, 1335, 375, "Caption=204;ToolTipText=236",
                           "Restore button Caption", "Restore button ToolTip"});
    OpenSaveDialog = new CommonDialog(this);
    for (QPushButton *button : {editNameBtn, removeBtn, exportBtn, restoreBtn})
        button->setEnabled(false);
    setTabOrder(stateListView, editNameBtn);
    for (auto [from, to] : {std::pair{editNameBtn, removeBtn},
                            {removeBtn, importBtn},
                            {importBtn, exportBtn},
                            {exportBtn, captureNewBtn},
                            {captureNewBtn, restoreBtn}})
        setTabOrder(from, to);
    connectCommands();
}

void InstrumentState::buildListView() {
    stateListView = new ListView(this);
    stateListView->setObjectName(QStringLiteral("stateListView"));
    stateListView->place(120, 240, 3975, 2415);
    stateListView->ColumnHeaders()->Add()->setTag(QStringLiteral("200"));
    stateListView->ColumnHeaders()->Add()->setTag(QStringLiteral("201"));
    stateListView->setSmallIcons(MarkerImages::imageList());
    stateListView->setIconSize(QSize(16, 16));
    stateListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    stateListView->setSelectionMode(QAbstractItemView::SingleSelection);
    stateListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    stateListView->setSortingEnabled(false);
    // The selection stays visible when the list loses focus.
    QPalette palette = stateListView->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    stateListView->setPalette(palette);
    connect(stateListView, &QTreeWidget::itemSelectionChanged, this, [this] {
        const int row = stateListView->selectedRow();
        emit SelectionChanged(row > 0 ? stateListView->rowText(row) : QString());
    });
}

void InstrumentState::connectCommands() {
    StateCommands &commands = *m_commands;
    connect(captureNewBtn, &QPushButton::clicked, this, [&commands] { commands.captureNew(); });
    connect(restoreBtn, &QPushButton::clicked, this, [&commands] { commands.restore(); });
    connect(editNameBtn, &QPushButton::clicked, this, [&commands] { commands.editName(); });
    connect(removeBtn, &QPushButton::clicked, this, [&commands] { commands.remove(); });
    connect(exportBtn, &QPushButton::clicked, this, [&commands] { commands.exportState(); });
    connect(importBtn, &QPushButton::clicked, this, [&commands] { commands.importState(); });
}

void InstrumentState::sizeColumns() {
    const double width = stateListView->Width();
    stateListView->ColumnHeaders()->Item(1)->setWidth(static_cast<float>(width * 33 / 100));
    stateListView->ColumnHeaders()->Item(2)->setWidth(static_cast<float>(width * 67 / 100));
}

ObjectRef InstrumentState::InstrumentStateInfo() const {
    return m_stateInfo;
}

void InstrumentState::setInstrumentStateInfo(const ObjectRef &stateInfo) {
    auto attached = std::dynamic_pointer_cast<StateInfo>(stateInfo);
    if (stateInfo && !attached)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kInstrumentStateSource);
    m_stateInfo = std::move(attached);
    // The rows of an earlier list go, so that rows and Items stay in step.
    if (stateListView->rowCount() > 0) {
        stateListView->clearRows();
        EnableStateButtons(false);
    }
    if (!m_stateInfo)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kInstrumentStateSource);
    const CollectionRef items = m_stateInfo->Items();
    if (!items)
        return;
    const int before = stateListView->rowCount();
    try {
        for (int index = 1; index <= items->Count(); ++index)
            addRowFor(index);
    } catch (...) {
        // Rows stand for Items by position: a part of the list would stand for the wrong states.
        while (stateListView->rowCount() > before)
            stateListView->removeRow(stateListView->rowCount());
        throw;
    }
    if (stateListView->rowCount() > 0)
        EnableStateButtons(true);
}

void InstrumentState::addRowFor(int index) {
    const auto state = stateAt(*m_stateInfo, index);
    const int row = stateListView->addRow(QStringList{state->Name(), state->Description()});
    if (!state->matchesInstrument(setupOf(*m_stateInfo))) {
        stateListView->setSmallIcon(row, MarkerImages::kOtherInstrument);
        stateListView->setForeColor(row, kGrey);
    }
}

void InstrumentState::ClearSelectedIcon() {
    for (int row = 1; row <= stateListView->rowCount(); ++row) {
        if (stateListView->smallIcon(row) == MarkerImages::kCurrentSetup)
            stateListView->setSmallIcon(row, 0);
    }
}

void InstrumentState::EnableStateButtons(bool enable) {
    for (QPushButton *button : {removeBtn, editNameBtn, exportBtn, restoreBtn})
        button->setEnabled(enable);
}

QString InstrumentState::GetUniqueStateName() const {
    const auto prefix = [] { return ResourceText::get(TextId::kNewStateNamePrefix); };
    return m_stateInfo ? m_stateInfo->firstFreeName(prefix) : prefix() + QStringLiteral("1");
}

void InstrumentState::setMousePointer(int pointer) {
    m_mousePointer = pointer;
    if (pointer == kHourglass)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

QString InstrumentState::CategoryId() const {
    return ResourceCategoryId.toString();
}

std::int32_t InstrumentState::CountryCode() const {
    return gResources->CountryCode();
}

ObjectRef InstrumentState::Resources() const {
    return gResources.object();
}

void InstrumentState::setResources(const ObjectRef &Resources) {
    gResources = IxoResourceRef(Resources);
    gResourcesAgent->SetResources(Resources);
    applyTexts();
}

void InstrumentState::LoadResources(std::int32_t CountryCode) {
    gResources = IxoResourceRef(gResourcesAgent->LoadResourcesForObject(CategoryId(), CountryCode));
    applyTexts();
}

void InstrumentState::IxoResourceClient_LoadResources(int CountryCode) {
    LoadResources(CountryCode);
}

void InstrumentState::applyTexts() {
    gResourcesAgent->SetResourceValuesForSubordinateObjects(
        QVariant::fromValue(MemberAccess::controlsOf(*this)));
    gResourcesAgent->SetResourceValuesForSubordinateObjects(
        QVariant::fromValue(MemberAccess::controlsOf(SharedEditName::instance())));
}

void InstrumentState::InitProperties() {}

void InstrumentState::ReadProperties(PropertyBag &propBag) {
    withHelp([&] { LoadResources(VariantConvert::toLong(propBag.ReadProperty(kCountryCode, 0))); });
}

void InstrumentState::WriteProperties(PropertyBag &propBag) {
    withHelp([&] { propBag.WriteProperty(kCountryCode, gResources->CountryCode(), 0); });
}

void InstrumentState::ReadProperties(PropertyBag *propBag) {
    if (!propBag)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kInstrumentStateSource);
    ReadProperties(*propBag);
}

void InstrumentState::WriteProperties(PropertyBag *propBag) {
    if (!propBag)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kInstrumentStateSource);
    WriteProperties(*propBag);
}

void InstrumentState::withHelp(const std::function<void()> &work) {
    try {
        work();
    } catch (const AutomationError &error) {
        throw error.withHelp(kHelpFile, kPropertiesHelpContext);
    }
}

} // namespace ixo
