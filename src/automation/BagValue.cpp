#include "automation/BagValue.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/Persistable.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"

#include <QDateTime>

namespace ixo {

namespace {

const QString kBagValueSource = QStringLiteral("IxoInstrSetups.PropertyBag");

[[noreturn]] void cannotStore(const QString &what) {
    throw AutomationError(ErrorNumber::TypeMismatch, kBagValueSource, what);
}

} // namespace

BagValue BagValue::fromVariant(const QVariant &value) {
    return fromVariantAt(value, 0);
}

BagValue BagValue::fromVariantAt(const QVariant &value, int depth) {
    switch (variantTypeOf(value)) {
    case VariantType::Empty:
    case VariantType::Null:
    case VariantType::Boolean:
    case VariantType::Byte:
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::LongLong:
    case VariantType::Single:
    case VariantType::Double:
    case VariantType::String:
    case VariantType::ByteArray:
        return BagValue(value);
    case VariantType::Date:
        // Kept as it will read back from a document: milliseconds in UTC.
        return BagValue(QVariant(
            QDateTime::fromMSecsSinceEpoch(value.toDateTime().toMSecsSinceEpoch(), Qt::UTC)));
    case VariantType::Array: {
        if (depth >= kMaxDepth)
            cannotStore(QStringLiteral("Arrays are nested too deeply to be stored"));
        const QVariantList list = value.toList();
        Elements elements;
        elements.reserve(static_cast<std::size_t>(list.size()));
        for (const QVariant &element : list)
            elements.push_back(fromVariantAt(element, depth + 1));
        return BagValue(std::move(elements));
    }
    case VariantType::Object:
        return fromObject(value.value<ObjectRef>(), depth);
    case VariantType::Unsupported:
        break;
    }
    cannotStore(QStringLiteral("A value of type %1 cannot be stored").arg(value.metaType().name()));
}

BagValue BagValue::fromObject(const ObjectRef &object, int depth) {
    if (!object)
        return BagValue(QVariant::fromValue(ObjectRef()));
    auto *persistable = dynamic_cast<Persistable *>(object.get());
    const QString progId = ClassRegistry::progIdOf(*object);
    if (!persistable || progId.isEmpty() || depth >= kMaxDepth)
        cannotStore(QStringLiteral("An object of class %1 cannot be stored")
                        .arg(QString::fromLatin1(object->metaObject()->className())));
    auto bag = std::make_shared<PropertyBag>();
    persistable->WriteProperties(*bag);
    return BagValue(Object{progId, std::move(bag), nullptr});
}

QVariant BagValue::toVariant() const {
    if (const QVariant *value = plain())
        return *value;
    if (const Slice *bytes = slice())
        return QByteArray(bytes->source.constData() + bytes->offset, bytes->size);
    if (const Elements *list = elements()) {
        QVariantList result;
        result.reserve(static_cast<qsizetype>(list->size()));
        for (const BagValue &element : *list)
            result.append(element.toVariant());
        return result;
    }
    const Object &stored = std::get<Object>(m_value);
    if (stored.loaded && *stored.loaded)
        return QVariant::fromValue(std::exchange(*stored.loaded, ObjectRef()));
    return QVariant::fromValue(load(stored.progId, *stored.bag));
}

ObjectRef BagValue::load(const QString &progId, const PropertyBag &bag) {
    const ObjectRef object = ClassRegistry::instance().createForLoading(progId);
    auto *persistable = dynamic_cast<Persistable *>(object.get());
    if (!persistable)
        throw AutomationError(
            ErrorNumber::InvalidFileFormat, kBagValueSource,
            QStringLiteral("Invalid property bag contents: class %1 cannot be loaded from a bag")
                .arg(progId));
    // The reader gets its own copy, so the stored bag stays as it was written.
    PropertyBag copy = bag;
    persistable->ReadProperties(copy);
    return object;
}

} // namespace ixo
