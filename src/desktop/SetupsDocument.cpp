#include "desktop/SetupsDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "control/InstrumentState.h"
#include "library/LibraryAddress.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "support/HostDocument.h"

namespace ixo {

namespace {

const QString kSetupsDocumentSource = QStringLiteral("ixo-setups");
const QString kListKey = QStringLiteral("List%1");

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
        throw AutomationError(ErrorNumber::Fail, kSetupsDocumentSource,
                              QStringLiteral("No instrument is connected"));
    }
};

QString listKey(std::size_t role) {
    return kListKey.arg(role + 1);
}

std::shared_ptr<StateInfo> listIn(const PropertyBag &bag, std::size_t role) {
    auto states =
        std::dynamic_pointer_cast<StateInfo>(bag.ReadProperty(listKey(role)).value<ObjectRef>());
    if (!states)
        throw AutomationError(
            ErrorNumber::InvalidFileFormat, kSetupsDocumentSource,
            QStringLiteral("The lists kept for undo hold no list for role %1").arg(role + 1));
    return states;
}

} // namespace

SetupsDocument::SetupsDocument(Binder binder)
    : m_binder(std::move(binder))
    , m_texts(std::make_shared<CIxoResourcesDefault>())
    , m_model(m_texts) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &SetupsDocument::settle);
}

void SetupsDocument::reset(const QList<NewRole> &roles) {
    StateDocument document(m_texts);
    for (const auto &[name, resource] : roles)
        document.addRole(name, resource, QString());
    take(std::move(document));
}

void SetupsDocument::open(const QString &location) {
    std::unique_ptr<DocumentStore> store = DocumentStore::open(location, m_texts);
    if (store->library())
        take(StateDocument(m_texts), std::move(store));
    else
        take(std::move(store->document()));
    readControlProperties();
    m_savedContents = contents();
}

// The controls of the roles go before the lists they showed.
void SetupsDocument::take(StateDocument document, std::unique_ptr<DocumentStore> library) {
    for (const BenchRole &role : model().roles())
        role.stateInfo()->Items()->disconnect(&m_settle);
    m_bindings = m_binder(library ? library->document() : document);
    m_library = std::move(library);
    m_model = std::move(document);
    m_statesOf.clear();
    attachAll();
    m_savedContents = contents();
}

// Documents written by other hosts may have no properties of the control.
void SetupsDocument::readControlProperties() {
    PropertyBag controlBag;
    PropertyBag &properties = model().properties();
    if (properties.contains(HostDocument::kControlKey))
        controlBag.setContents(properties.ReadProperty(HostDocument::kControlKey));
    for (const Binding &binding : m_bindings)
        binding.control->ReadProperties(controlBag);
}

void SetupsDocument::save(const QString &fileName) {
    model().properties().WriteProperty(HostDocument::kControlKey, controlContents());
    model().save(fileName);
    if (m_library) {
        m_model = std::move(m_library->document());
        m_library.reset();
    }
    m_savedContents = contents();
}

void SetupsDocument::recordRestore(const QString &role, const QString &state,
                                   const QString &instrument) {
    if (m_library)
        m_library->recordRestore(role, state, instrument);
}

void SetupsDocument::recordRestore(const BenchReport &report, const QString &state) {
    if (m_library)
        m_library->recordRestore(report, state);
}

void SetupsDocument::saveToLibrary() {
    if (!m_library)
        throw AutomationError(ErrorNumber::InvalidProcedureCall, kSetupsDocumentSource,
                              QStringLiteral("The document is not a library's"));
    model().properties().WriteProperty(HostDocument::kControlKey, controlContents());
    m_library->save();
    m_savedContents = contents();
}

void SetupsDocument::moveToLibrary(const QString &address) {
    const LibraryAddress parsed = LibraryAddress::parse(address);
    if (parsed.document().isEmpty())
        throw AutomationError(ErrorNumber::InvalidProcedureCall, kSetupsDocumentSource,
                              QStringLiteral("%1 names no document: add ?document=NAME with a "
                                             "name the library does not hold yet")
                                  .arg(address));
    model().properties().WriteProperty(HostDocument::kControlKey, controlContents());
    {
        SetupLibrary library(parsed, LibrarySchema::Missing::IsCreated);
        library.importDocument(parsed.document(), model());
    }
    open(address);
}

QString SetupsDocument::location() const {
    return m_library ? m_library->location() : m_model.fileName();
}

QByteArray SetupsDocument::listContents() const {
    PropertyBag bag;
    const std::vector<BenchRole> &roles = model().roles();
    for (std::size_t role = 0; role < roles.size(); ++role)
        bag.WriteProperty(listKey(role), QVariant::fromValue<ObjectRef>(roles[role].stateInfo()));
    return bag.Contents();
}

void SetupsDocument::restoreList(const QByteArray &contents) {
    PropertyBag bag;
    bag.setContents(contents);
    StateDocument &document = model();
    std::vector<std::shared_ptr<StateInfo>> lists;
    for (std::size_t role = 0; role < document.roles().size(); ++role)
        lists.push_back(listIn(bag, role));
    // A library's document saves by object, so its states must stay the same objects.
    if (m_library)
        keepObjects(contents, lists);
    for (std::size_t role = 0; role < lists.size(); ++role) {
        document.roles()[role].stateInfo()->Items()->disconnect(&m_settle);
        document.replaceStates(document.roles()[role].name(), std::move(lists[role]));
    }
    attachAll();
}

SetupsDocument::RoleStates SetupsDocument::states() const {
    RoleStates states;
    for (const BenchRole &role : model().roles())
        states.push_back(role.states());
    return states;
}

// Each object takes the values its state had then and goes back in its place.
void SetupsDocument::keepObjects(const QByteArray &contents,
                                 std::vector<std::shared_ptr<StateInfo>> &lists) const {
    const auto told = m_statesOf.find(contents);
    if (told == m_statesOf.end() || told->second.size() != lists.size())
        return;
    for (std::size_t role = 0; role < lists.size(); ++role) {
        const auto &objects = told->second[role];
        const CollectionRef items = lists[role]->Items();
        if (std::size_t(items->Count()) != objects.size())
            continue;
        for (std::size_t index = 0; index < objects.size(); ++index) {
            const std::shared_ptr<ItemStateInfo> state = lists[role]->item(int(index) + 1);
            const std::shared_ptr<ItemStateInfo> &object = objects[index];
            object->setName(state->Name());
            object->setDescription(state->Description());
            object->setModel(state->Model());
            object->setVersion(state->Version());
            object->setData(state->data());
        }
        while (items->Count() > 0)
            items->Remove(1);
        for (const auto &object : objects)
            items->Add(QVariant::fromValue<ObjectRef>(object), object->Name());
    }
}

void SetupsDocument::settle() {
    m_settle.stop();
    QByteArray after = listContents();
    if (after == m_listContents)
        return;
    const QByteArray before = std::exchange(m_listContents, after);
    if (m_library)
        m_statesOf[after] = states();
    watchLists();
    emit listChanged(before, after);
}

// The collections tell of additions and removals, each state of a change to its name or
// description.
void SetupsDocument::watchLists() {
    for (const BenchRole &role : model().roles()) {
        const CollectionRef items = role.stateInfo()->Items();
        connect(items.get(), &Collection::changed, &m_settle, qOverload<>(&QTimer::start),
                Qt::UniqueConnection);
        for (const auto &state : role.states())
            connect(state.get(), &ItemStateInfo::changed, &m_settle, qOverload<>(&QTimer::start),
                    Qt::UniqueConnection);
    }
}

bool SetupsDocument::isModified() const {
    return contents() != m_savedContents;
}

QByteArray SetupsDocument::contents() const {
    PropertyBag bag = model().toBag();
    bag.WriteProperty(HostDocument::kControlKey, controlContents());
    return bag.Contents();
}

// The controls share their properties; the first speaks for all.
QByteArray SetupsDocument::controlContents() const {
    PropertyBag controlBag;
    m_bindings.front().control->WriteProperties(controlBag);
    return controlBag.Contents();
}

void SetupsDocument::reattach(std::optional<std::size_t> role) {
    if (role) {
        show(*role);
        return;
    }
    for (std::size_t each = 0; each < m_bindings.size(); ++each)
        show(each);
}

void SetupsDocument::attachAll() {
    reattach();
    m_settle.stop();
    m_listContents = listContents();
    m_statesOf[m_listContents] = states();
    watchLists();
    emit attached();
}

void SetupsDocument::show(std::size_t role) {
    const Binding &binding = m_bindings.at(role);
    const std::shared_ptr<StateInfo> &states = model().roles().at(role).stateInfo();
    const bool connected = !binding.connected || binding.connected();
    states->setSetupInterface(connected ? binding.instrument : std::make_shared<NoInstrument>());
    // The commands always go to the instrument, which says itself that none is connected.
    try {
        binding.control->setInstrumentStateInfo(states);
    } catch (...) {
        states->setSetupInterface(binding.instrument);
        throw;
    }
    states->setSetupInterface(binding.instrument);
}

} // namespace ixo
