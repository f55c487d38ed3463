#include "desktop/SetupsDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "control/InstrumentState.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"
#include "support/HostDocument.h"

namespace ixo {

namespace {

const QString kSource = QStringLiteral("ixo-setups");

// What the rows are marked against while no instrument is connected: no model, no version.
class NoInstrument : public SetupInterface {
public:
    QString Model() override { return {}; }
    QString Version() override { return {}; }
    QVariant CaptureState() override { refuse(); }
    void RestoreState(const QVariant &) override { refuse(); }
    ObjectRef ImportLegacyFile(const QString &, const QString &) override { refuse(); }

private:
    [[noreturn]] static void refuse() {
        throw AutomationError(ErrorNumber::Fail, kSource,
                              QStringLiteral("No instrument is connected"));
    }
};

} // namespace

SetupsDocument::SetupsDocument(InstrumentState &control, SetupInterfaceRef instrument,
                               std::function<bool()> connected)
    : m_control(control)
    , m_instrument(std::move(instrument))
    , m_connected(std::move(connected)) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &SetupsDocument::settle);
}

void SetupsDocument::reset() {
    attach(std::make_shared<StateInfo>());
    m_bag = PropertyBag();
    m_fileName.clear();
    m_savedContents = contents();
}

void SetupsDocument::open(const QString &fileName) {
    PropertyBag bag = StateDocument::load(fileName);
    auto stateInfo = StateDocument::stateListOf(bag, fileName);
    // Documents written by other hosts may have no properties of the control.
    PropertyBag controlBag;
    if (bag.contains(HostDocument::kControlKey))
        controlBag.setContents(bag.ReadProperty(HostDocument::kControlKey));
    m_control.ReadProperties(controlBag);
    attach(std::move(stateInfo));
    // The rest of a bench, and whatever else other hosts keep, goes back as it came.
    m_bag = std::move(bag);
    m_fileName = fileName;
    m_savedContents = contents();
}

void SetupsDocument::save(const QString &fileName) {
    const QByteArray bytes = contents();
    PropertyBag bag;
    bag.setContents(bytes);
    StateDocument::write(bag, fileName);
    m_fileName = fileName;
    m_savedContents = bytes;
}

QByteArray SetupsDocument::listContents() const {
    PropertyBag bag;
    bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(m_stateInfo));
    return bag.Contents();
}

void SetupsDocument::restoreList(const QByteArray &contents) {
    PropertyBag bag;
    bag.setContents(contents);
    auto stateInfo = StateDocument::stateListOf(bag, QStringLiteral("The list kept for undo"));
    attach(std::move(stateInfo));
}

void SetupsDocument::settle() {
    m_settle.stop();
    QByteArray after = listContents();
    if (after == m_listContents)
        return;
    const QByteArray before = std::exchange(m_listContents, after);
    watchList();
    emit listChanged(before, after);
}

// The collection tells of additions and removals, each state of a change to its name or
// description.
void SetupsDocument::watchList() {
    connect(m_stateInfo->Items().get(), &Collection::changed, &m_settle,
            qOverload<>(&QTimer::start), Qt::UniqueConnection);
    for (int index = 1; index <= m_stateInfo->Items()->Count(); ++index) {
        if (const auto state = m_stateInfo->item(index))
            connect(state.get(), &ItemStateInfo::changed, &m_settle, qOverload<>(&QTimer::start),
                    Qt::UniqueConnection);
    }
}

bool SetupsDocument::isModified() const {
    return contents() != m_savedContents;
}

QByteArray SetupsDocument::contents() const {
    PropertyBag controlBag;
    m_control.WriteProperties(controlBag);
    PropertyBag bag = m_bag;
    bag.WriteProperty(HostDocument::kControlKey, controlBag.Contents());
    bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(m_stateInfo));
    return bag.Contents();
}

void SetupsDocument::reattach() {
    attach(m_stateInfo);
}

void SetupsDocument::attach(std::shared_ptr<StateInfo> stateInfo) {
    if (m_stateInfo && m_stateInfo != stateInfo)
        m_stateInfo->Items()->disconnect(&m_settle);
    m_stateInfo = std::move(stateInfo);
    const bool connected = !m_connected || m_connected();
    m_stateInfo->setSetupInterface(connected ? m_instrument : std::make_shared<NoInstrument>());
    // The commands always go to the instrument, which says itself that none is connected.
    try {
        m_control.setInstrumentStateInfo(m_stateInfo);
    } catch (...) {
        m_stateInfo->setSetupInterface(m_instrument);
        throw;
    }
    m_stateInfo->setSetupInterface(m_instrument);
    m_settle.stop();
    m_listContents = listContents();
    watchList();
}

} // namespace ixo
