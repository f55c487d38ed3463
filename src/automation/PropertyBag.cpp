#include "automation/PropertyBag.h"

#include "automation/AutomationError.h"
#include "automation/CaseFold.h"
#include "automation/CborInput.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"
#include "automation/VariantCodec.h"
#include "automation/VariantType.h"

#include <QCborStreamReader>
#include <QIODevice>
#include <optional>

namespace ixo {

namespace {

const QString kPropertyBagSource = QStringLiteral("IxoInstrSetups.PropertyBag");
const QString kFormatKey = QStringLiteral("format");
const QString kFormatName = QStringLiteral("IxoPropertyBag");
const QString kVersionKey = QStringLiteral("version");
const QString kPropertiesKey = QStringLiteral("properties");

// Room for a value's encoding, so a document is written into one buffer.
qsizetype sizeHintOf(const BagValue &value) {
    constexpr qsizetype kHead = 16;
    if (const QVariant *plain = value.plain()) {
        if (plain->metaType().id() == QMetaType::QByteArray)
            return kHead + plain->toByteArray().size();
        if (plain->metaType().id() == QMetaType::QString)
            return kHead + 3 * plain->toString().size();
        return kHead;
    }
    if (const BagValue::Slice *slice = value.slice())
        return kHead + slice->size;
    if (const BagValue::Elements *elements = value.elements()) {
        qsizetype total = kHead;
        for (const BagValue &element : *elements)
            total += sizeHintOf(element);
        return total;
    }
    return kHead + 3 * value.object()->progId.size() + value.object()->bag->sizeHint();
}

struct Header {
    std::optional<QString> format;
    std::optional<qint64> version;
    bool versionSeen = false;
    bool propertiesSeen = false;

    // Checks what has been read so far, or all of it at the end of the document.
    void check(bool complete) const {
        if ((format || complete) && format != kFormatName)
            CborInput::malformed(QStringLiteral("not a property bag document"));
        if ((versionSeen || complete) && (!version || *version < 1))
            CborInput::malformed(QStringLiteral("no valid format version"));
        if (version && *version > PropertyBag::kFormatVersion)
            CborInput::malformed(
                QStringLiteral("format version %1 is newer than this program reads (%2)")
                    .arg(*version)
                    .arg(PropertyBag::kFormatVersion));
        if (complete && !propertiesSeen)
            CborInput::malformed(QStringLiteral("no property list"));
    }
};

} // namespace

QString PropertyBag::foldName(const QString &name) {
    return CaseFold::fold(name);
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value) {
    store(name, BagValue::fromVariant(value));
}

void PropertyBag::WriteProperty(const QString &name, const QVariant &value,
                                const QVariant &defaultValue) {
    BagValue stored = BagValue::fromVariant(value);
    if (sameValue(value, defaultValue))
        remove(name);
    else
        store(name, std::move(stored));
}

QVariant PropertyBag::ReadProperty(const QString &name) const {
    const std::optional<std::size_t> found = find(name);
    if (!found)
        throw AutomationError(ErrorNumber::DataValueNotFound, kPropertyBagSource,
                              QStringLiteral("Data value named '%1' not found").arg(name));
    return m_properties[*found].second.toVariant();
}

QVariant PropertyBag::ReadProperty(const QString &name, const QVariant &defaultValue) const {
    const std::optional<std::size_t> found = find(name);
    if (!found)
        return defaultValue;
    return m_properties[*found].second.toVariant();
}

bool PropertyBag::contains(const QString &name) const {
    return find(name).has_value();
}

QStringList PropertyBag::names() const {
    QStringList result;
    result.reserve(count());
    for (const auto &property : m_properties)
        result.append(property.first);
    return result;
}

std::optional<std::size_t> PropertyBag::find(const QString &name) const {
    if (m_properties.size() < kIndexedFrom) {
        // A few names are found sooner by comparing them than by folding and hashing.
        for (std::size_t i = 0; i < m_properties.size(); ++i) {
            if (m_properties[i].first.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return std::nullopt;
    }
    const auto found = m_index.constFind(foldName(name));
    if (found == m_index.cend())
        return std::nullopt;
    return *found;
}

void PropertyBag::store(const QString &name, BagValue value) {
    if (const std::optional<std::size_t> found = find(name)) {
        m_properties[*found].second = std::move(value);
        return;
    }
    m_properties.emplace_back(name, std::move(value));
    if (m_properties.size() == kIndexedFrom)
        rebuildIndex();
    else if (m_properties.size() > kIndexedFrom)
        m_index.insert(foldName(name), m_properties.size() - 1);
}

void PropertyBag::remove(const QString &name) {
    const std::optional<std::size_t> found = find(name);
    if (!found)
        return;
    m_properties.erase(m_properties.begin() + static_cast<std::ptrdiff_t>(*found));
    rebuildIndex();
}

void PropertyBag::rebuildIndex() {
    m_index.clear();
    if (m_properties.size() < kIndexedFrom)
        return;
    m_index.reserve(static_cast<qsizetype>(m_properties.size()));
    for (std::size_t i = 0; i < m_properties.size(); ++i)
        m_index.insert(foldName(m_properties[i].first), i);
}

QByteArray PropertyBag::Contents() const {
    QByteArray bytes;
    bytes.reserve(sizeHint());
    CborOutput writer(bytes);
    writeDocument(writer);
    return bytes;
}

void PropertyBag::writeContents(QIODevice &device) const {
    CborOutput writer(device);
    writeDocument(writer);
}

void PropertyBag::setContents(const QVariant &contents) {
    if (variantTypeOf(contents) != VariantType::ByteArray)
        throw AutomationError(ErrorNumber::TypeMismatch, kPropertyBagSource,
                              QStringLiteral("Property bag contents must be a byte array"));
    CborInput input(contents.toByteArray());
    PropertyBag parsed = readDocument(input, 0);
    input.finish();
    *this = std::move(parsed);
}

qsizetype PropertyBag::sizeHint() const {
    qsizetype total = 64;
    for (const auto &[name, value] : m_properties)
        total += 16 + 3 * name.size() + sizeHintOf(value);
    return total;
}

void PropertyBag::writeDocument(CborOutput &writer) const {
    writer.startMap(3);
    writer.text(kFormatKey);
    writer.text(kFormatName);
    writer.text(kVersionKey);
    writer.integer(kFormatVersion);
    writer.text(kPropertiesKey);
    writer.startArray(m_properties.size());
    for (const auto &[name, value] : m_properties) {
        writer.startArray(2);
        writer.text(name);
        VariantCodec::write(writer, value);
    }
}

PropertyBag PropertyBag::readDocument(CborInput &input, int depth) {
    QCborStreamReader &reader = input.reader();
    if (!reader.isMap())
        CborInput::malformed(QStringLiteral("the document is not a map"));
    input.enter();
    Header header;
    PropertyBag bag;
    while (input.hasNext()) {
        if (!reader.isString()) {
            input.skip(); // a key this format does not have, and its value
            input.skip();
            continue;
        }
        const QString key = input.text();
        if (key == kFormatKey && !header.format) {
            if (reader.isString()) {
                header.format = input.text();
            } else {
                header.format = QString();
                input.skip();
            }
        } else if (key == kVersionKey && !header.versionSeen) {
            header.versionSeen = true;
            if (reader.isInteger())
                header.version = input.integer();
            else
                input.skip();
        } else if (key == kPropertiesKey && !header.propertiesSeen) {
            header.check(false);
            header.propertiesSeen = true;
            readProperties(input, depth, bag);
        } else {
            input.skip();
        }
    }
    input.leave();
    header.check(true);
    return bag;
}

void PropertyBag::readProperties(CborInput &input, int depth, PropertyBag &bag) {
    QCborStreamReader &reader = input.reader();
    if (!reader.isArray())
        CborInput::malformed(QStringLiteral("no property list"));
    const QString notAPair = QStringLiteral("a property is not a [name, value] pair");
    input.enter();
    while (input.hasNext()) {
        if (!reader.isArray())
            CborInput::malformed(notAPair);
        input.enter();
        if (!input.hasNext() || !reader.isString())
            CborInput::malformed(notAPair);
        const QString name = input.text();
        if (!input.hasNext())
            CborInput::malformed(notAPair);
        if (bag.contains(name))
            CborInput::malformed(QStringLiteral("the property '%1' appears twice").arg(name));
        bag.store(name, VariantCodec::read(input, depth));
        if (input.hasNext())
            CborInput::malformed(notAPair);
        input.leave();
    }
    input.leave();
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
