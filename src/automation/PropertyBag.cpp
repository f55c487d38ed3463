#include "automation/PropertyBag.h"

#include "automation/AutomationError.h"
#include "automation/CaseFold.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"
#include "automation/VariantCodec.h"
#include "automation/VariantType.h"

#include <QCborArray>
#include <QCborStreamReader>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.PropertyBag");
const QString kFormatKey = QStringLiteral("format");
const QString kFormatName = QStringLiteral("IxoPropertyBag");
const QString kVersionKey = QStringLiteral("version");
const QString kPropertiesKey = QStringLiteral("properties");

[[noreturn]] void malformed(const QString &why) {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                          QStringLiteral("Invalid property bag contents: %1").arg(why));
}

QCborMap parseDocument(const QByteArray &bytes) {
    QCborStreamReader reader(bytes);
    const QCborValue value = QCborValue::fromCbor(reader);
    if (reader.lastError() != QCborError::NoError)
        malformed(reader.lastError().toString());
    if (reader.currentOffset() != bytes.size())
        malformed(QStringLiteral("data follows the end of the document"));
    if (!value.isMap())
        malformed(QStringLiteral("the document is not a map"));
    return value.toMap();
}

} // namespace

QString PropertyBag::foldName(const QString &name) {
    return CaseFold::fold(name);
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value) {
    store(name, VariantCodec::encode(value));
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue) {
    QCborValue encoded = VariantCodec::encode(value);
    if (sameValue(value, defaultValue))
        remove(name);
    else
        store(name, std::move(encoded));
}

QVariant PropertyBag::ReadProperty(const QString &name) const {
    const auto found = m_index.constFind(foldName(name));
    if (found == m_index.cend())
        throw AutomationError(ErrorNumber::DataValueNotFound, kSource,
                              QStringLiteral("Data value named '%1' not found").arg(name));
    return VariantCodec::decode(m_properties[*found].second);
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const {
    const auto found = m_index.constFind(foldName(name));
    if (found == m_index.cend())
        return defaultValue;
    return VariantCodec::decode(m_properties[*found].second);
}

bool PropertyBag::contains(const QString &name) const {
    return m_index.contains(foldName(name));
}

QStringList PropertyBag::names() const {
    QStringList result;
    result.reserve(count());
    for (const auto &property : m_properties)
        result.append(property.first);
    return result;
}

void PropertyBag::store(const QString &name, QCborValue encoded) {
    const QString folded = foldName(name);
    const auto found = m_index.constFind(folded);
    if (found != m_index.cend()) {
        m_properties[*found].second = std::move(encoded);
        return;
    }
    m_index.insert(folded, m_properties.size());
    m_properties.emplace_back(name, std::move(encoded));
}

void PropertyBag::remove(const QString &name) {
    const auto found = m_index.constFind(foldName(name));
    if (found == m_index.cend())
        return;
    m_properties.erase(m_properties.begin() + static_cast<std::ptrdiff_t>(*found));
    m_index.clear();
    for (std::size_t i = 0; i < m_properties.size(); ++i)
        m_index.insert(foldName(m_properties[i].first), i);
}

QByteArray PropertyBag::Contents() const {
    return QCborValue(toDocument()).toCbor();
}

void PropertyBag::setContents(const QVariant &contents) {
    if (variantTypeOf(contents) != VariantType::ByteArray)
        throw AutomationError(ErrorNumber::TypeMismatch, kSource,
                              QStringLiteral("Property bag contents must be a byte array"));
    PropertyBag parsed = fromDocument(parseDocument(contents.toByteArray()));
    // Decoding every value now means a bad document is refused before anyone reads from it.
    for (const auto &property : parsed.m_properties)
        VariantCodec::validate(property.second);
    *this = std::move(parsed);
}

QCborMap PropertyBag::toDocument() const {
    QCborArray properties;
    for (const auto &[name, value] : m_properties)
        properties.append(QCborArray{name, value});
    QCborMap document;
    document.insert(kFormatKey, kFormatName);
    document.insert(kVersionKey, kFormatVersion);
    document.insert(kPropertiesKey, properties);
    return document;
}

PropertyBag PropertyBag::fromDocument(const QCborMap &document) {
    if (document.value(kFormatKey).toString() != kFormatName)
        malformed(QStringLiteral("not a property bag document"));
    const QCborValue version = document.value(kVersionKey);
    if (!version.isInteger() || version.toInteger() < 1)
        malformed(QStringLiteral("no valid format version"));
    if (version.toInteger() > kFormatVersion)
        malformed(QStringLiteral("format version %1 is newer than this program reads (%2)")
                      .arg(version.toInteger())
                      .arg(kFormatVersion));
    const QCborValue properties = document.value(kPropertiesKey);
    if (!properties.isArray())
        malformed(QStringLiteral("no property list"));
    PropertyBag bag;
    for (const QCborValue &entry : properties.toArray()) {
        const QCborArray pair = entry.toArray();
        if (!entry.isArray() || pair.size() != 2 || !pair.at(0).isString())
            malformed(QStringLiteral("a property is not a [name, value] pair"));
        const QString name = pair.at(0).toString();
        if (bag.contains(name))
            malformed(QStringLiteral("the property '%1' appears twice").arg(name));
        bag.store(name, pair.at(1));
    }
    return bag;
}

bool PropertyBag::sameValue(const QVariant &a, const QVariant &b) {
    const VariantType type = variantTypeOf(a);
    if (type != variantTypeOf(b))
        return false;
    if (type == VariantType::Empty || type == VariantType::Null)
        return true;
    if (type == VariantType::Object)
        return a.value<ObjectRef>() == b.value<ObjectRef>();
    return a == b;
}

} // namespace ixo
