#include "model/StateInfo.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"
#include "automation/PropertyBag.h"
#include "automation/VariantConvert.h"
#include "model/ItemStateInfo.h"
#include "support/PropertyBagHack.h"

namespace ixo {

namespace {

const QString kStateInfoSource = QStringLiteral("IxoInstrSetups.StateInfo");

PropertyBag &bagOf(PropertyBag *propbag) {
    if (!propbag)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateInfoSource);
    return *propbag;
}

} // namespace

const QString StateInfo::kCountKey = QStringLiteral("StateinfoNumStates");
const QString StateInfo::kItemKeyPrefix = QStringLiteral("Stateinfoitem");

StateInfo::StateInfo(QObject *parent)
    : QObject(parent)
    , m_items(std::make_shared<Collection>()) {}

void StateInfo::setItems(const CollectionRef &items) {
    m_items = items;
    emit itemsReplaced();
}

void StateInfo::setSetupInterface(const SetupInterfaceRef &setupInterface) {
    m_setupInterface = setupInterface;
}

void StateInfo::setLegacyDovetrackFileMask(const QVariant &mask) {
    m_legacyMask = VariantConvert::toString(mask);
}

const Collection &StateInfo::items() const {
    if (!m_items)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateInfoSource);
    return *m_items;
}

void StateInfo::InitProperties() {
    setItems(std::make_shared<Collection>());
}

void StateInfo::ReadProperties(PropertyBag *propbag) {
    ReadProperties(bagOf(propbag));
}

void StateInfo::WriteProperties(PropertyBag *propbag) {
    WriteProperties(bagOf(propbag));
}

void StateInfo::WriteProperties(PropertyBag &propbag) {
    const Collection &list = items();
    const std::int16_t count = VariantConvert::toInteger(list.Count());
    propbag.WriteProperty(kCountKey, QVariant::fromValue(count));
    for (int i = 1; i <= count; ++i) {
        const ObjectRef object = list.Item(i).value<ObjectRef>();
        auto *hack = dynamic_cast<PropertyBagHack *>(object.get());
        if (!hack)
            throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateInfoSource);
        propbag.WriteProperty(kItemKeyPrefix + QString::number(i),
                              hack->WritePropertiesToVariant());
    }
}

void StateInfo::ReadProperties(PropertyBag &propbag) {
    setItems(std::make_shared<Collection>());
    const std::int16_t count = VariantConvert::toInteger(propbag.ReadProperty(kCountKey));
    for (int i = 1; i <= count; ++i) {
        auto item = std::make_shared<ItemStateInfo>();
        item->ReadPropertiesFromVariant(propbag.ReadProperty(kItemKeyPrefix + QString::number(i)));
        m_items->Add(QVariant::fromValue<ObjectRef>(item), item->Name());
    }
}

QString StateInfo::firstFreeName(const QString &prefix) const {
    return firstFreeName([&prefix] { return prefix; });
}

QString StateInfo::firstFreeName(const std::function<QString()> &prefix) const {
    const int last = m_items ? m_items->Count() + 1 : 1;
    for (int number = 1;; ++number) {
        const QString candidate = prefix() + QString::number(number);
        if (!m_items || number >= last || !m_items->containsKey(candidate))
            return candidate;
    }
}

std::shared_ptr<ItemStateInfo> StateInfo::item(int index) const {
    return std::dynamic_pointer_cast<ItemStateInfo>(items().Item(index).value<ObjectRef>());
}

std::shared_ptr<ItemStateInfo> StateInfo::find(const QString &name) const {
    const Collection &list = items();
    if (!list.containsKey(name))
        return nullptr;
    return std::dynamic_pointer_cast<ItemStateInfo>(list.Item(name).value<ObjectRef>());
}

} // namespace ixo
