#include "model/ItemStateInfo.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantConvert.h"

namespace ixo {

namespace {

const QString kName = QStringLiteral("Name");
const QString kDescription = QStringLiteral("Description");
const QString kData = QStringLiteral("Data");
const QString kModel = QStringLiteral("Model");
const QString kVersion = QStringLiteral("Version");

} // namespace

ItemStateInfo::ItemStateInfo(QObject *parent)
    : QObject(parent) {}

void ItemStateInfo::Init(const SetupInterfaceRef &setupInt) {
    if (!setupInt)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet,
                                        QStringLiteral("IxoInstrSetups.ItemStateInfo"));
    setModel(setupInt->Model());
    setVersion(setupInt->Version());
}

bool ItemStateInfo::matchesInstrument(SetupInterface &setup) const {
    const QString model = Model();
    const bool sameModel = model == setup.Model();
    const QString version = Version();
    const bool sameVersion = version == setup.Version();
    return sameModel && sameVersion;
}

void ItemStateInfo::setName(const QString &name) {
    m_name = name;
    emit changed();
}

void ItemStateInfo::setDescription(const QString &description) {
    m_description = description;
    emit changed();
}

void ItemStateInfo::setData(const QVariant &data) {
    m_data = data;
    emit changed();
}

void ItemStateInfo::setModel(const QString &model) {
    m_model = model;
    emit changed();
}

void ItemStateInfo::setVersion(const QString &version) {
    m_version = version;
    emit changed();
}

QVariant ItemStateInfo::WritePropertiesToVariant() {
    PropertyBag bag;
    WriteToBag(bag);
    return bag.Contents();
}

void ItemStateInfo::ReadPropertiesFromVariant(const QVariant &contents) {
    PropertyBag bag;
    bag.setContents(contents);
    ReadFromBag(bag);
}

void ItemStateInfo::WriteToBag(PropertyBag &bag) const {
    bag.WriteProperty(kName, m_name);
    bag.WriteProperty(kDescription, m_description);
    bag.WriteProperty(kData, m_data);
    bag.WriteProperty(kModel, m_model);
    bag.WriteProperty(kVersion, m_version);
}

void ItemStateInfo::ReadFromBag(const PropertyBag &bag) {
    const QVariant empty = QString();
    setName(VariantConvert::toString(bag.ReadProperty(kName, empty)));
    setDescription(VariantConvert::toString(bag.ReadProperty(kDescription, empty)));
    setData(bag.ReadProperty(kData, QVariant()));
    setModel(VariantConvert::toString(bag.ReadProperty(kModel, empty)));
    setVersion(VariantConvert::toString(bag.ReadProperty(kVersion, empty)));
}

} // namespace ixo
