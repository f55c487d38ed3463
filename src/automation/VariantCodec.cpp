#include "automation/VariantCodec.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"
#include "automation/Persistable.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"

#include <QCborArray>
#include <QCborMap>
#include <QDateTime>
#include <limits>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.PropertyBag");

[[noreturn]] void malformed(const QString &why) {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                          QStringLiteral("Invalid property bag contents: %1").arg(why));
}

QCborValue tagged(VariantType type, const QCborValue &payload) {
    return QCborArray{static_cast<qint64>(type), payload};
}

qint64 integerIn(const QCborValue &payload, qint64 low, qint64 high) {
    if (!payload.isInteger())
        malformed(QStringLiteral("an integer value is not an integer"));
    const qint64 value = payload.toInteger();
    if (value < low || value > high)
        malformed(QStringLiteral("an integer value is out of the range of its type"));
    return value;
}

template <typename T> QVariant integerOf(const QCborValue &payload) {
    return QVariant::fromValue(static_cast<T>(
        integerIn(payload, std::numeric_limits<T>::min(), std::numeric_limits<T>::max())));
}

double realOf(const QCborValue &payload) {
    if (!payload.isDouble())
        malformed(QStringLiteral("a real value is not a real number"));
    return payload.toDouble();
}

} // namespace

QCborValue VariantCodec::encode(const QVariant &value) {
    return encodeAt(value, 0);
}

QVariant VariantCodec::decode(const QCborValue &encoded) {
    return decodeAt(encoded, 0);
}

void VariantCodec::validate(const QCborValue &encoded) {
    decodeAt(encoded, 0, Strings::CheckedOnly);
}

QCborValue VariantCodec::encodeAt(const QVariant &value, int depth) {
    const VariantType type = variantTypeOf(value);
    switch (type) {
    case VariantType::Empty:
    case VariantType::Null:
        return QCborArray{static_cast<qint64>(type)};
    case VariantType::Boolean:
        return tagged(type, value.toBool());
    case VariantType::Byte:
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::LongLong:
        return tagged(type, value.toLongLong());
    case VariantType::Single:
    case VariantType::Double:
        return tagged(type, value.toDouble());
    case VariantType::Date:
        return tagged(type, value.toDateTime().toMSecsSinceEpoch());
    case VariantType::String:
        return tagged(type, value.toString());
    case VariantType::ByteArray:
        return tagged(type, value.toByteArray());
    case VariantType::Array:
        return encodeArray(value.toList(), depth);
    case VariantType::Object:
        return encodeObject(value, depth);
    case VariantType::Unsupported:
        break;
    }
    throw AutomationError(
        ErrorNumber::TypeMismatch, kSource,
        QStringLiteral("A value of type %1 cannot be stored").arg(value.metaType().name()));
}

QCborValue VariantCodec::encodeArray(const QVariantList &list, int depth) {
    if (depth >= kMaxDepth)
        throw AutomationError(ErrorNumber::TypeMismatch, kSource,
                              QStringLiteral("Arrays are nested too deeply to be stored"));
    QCborArray elements;
    for (const QVariant &element : list)
        elements.append(encodeAt(element, depth + 1));
    return tagged(VariantType::Array, elements);
}

QCborValue VariantCodec::encodeObject(const QVariant &value, int depth) {
    const ObjectRef object = value.value<ObjectRef>();
    if (!object)
        return tagged(VariantType::Object, QCborValue(nullptr));
    auto *persistable = dynamic_cast<Persistable *>(object.get());
    const QString progId = ClassRegistry::progIdOf(*object);
    if (!persistable || progId.isEmpty() || depth >= kMaxDepth)
        throw AutomationError(ErrorNumber::TypeMismatch, kSource,
                              QStringLiteral("An object of class %1 cannot be stored")
                                  .arg(QString::fromLatin1(object->metaObject()->className())));
    PropertyBag inner;
    persistable->WriteProperties(inner);
    return QCborArray{static_cast<qint64>(VariantType::Object), progId, inner.toDocument()};
}

QVariant VariantCodec::decodeAt(const QCborValue &encoded, int depth, Strings strings) {
    if (!encoded.isArray())
        malformed(QStringLiteral("a value is not a [type, payload] array"));
    const QCborArray parts = encoded.toArray();
    if (parts.isEmpty() || !parts.at(0).isInteger())
        malformed(QStringLiteral("a value has no type code"));
    const qint64 typeCode = parts.at(0).toInteger();
    if (typeCode == static_cast<qint64>(VariantType::Object))
        return decodeObject(parts, depth);
    if (typeCode == static_cast<qint64>(VariantType::Empty) ||
        typeCode == static_cast<qint64>(VariantType::Null)) {
        if (parts.size() != 1)
            malformed(QStringLiteral("an Empty or Null value has a payload"));
        return typeCode == 0 ? QVariant() : QVariant::fromValue(nullptr);
    }
    if (parts.size() != 2)
        malformed(QStringLiteral("a value is not a [type, payload] pair"));
    if (typeCode == static_cast<qint64>(VariantType::Array))
        return decodeArray(parts.at(1), depth, strings);
    if (typeCode < 0 || typeCode > std::numeric_limits<std::uint16_t>::max())
        malformed(QStringLiteral("unknown type code %1").arg(typeCode));
    return decodeScalar(static_cast<int>(typeCode), parts.at(1), strings);
}

QVariant VariantCodec::decodeScalar(int typeCode, const QCborValue &payload, Strings strings) {
    switch (static_cast<VariantType>(typeCode)) {
    case VariantType::Boolean:
        if (!payload.isBool())
            malformed(QStringLiteral("a Boolean value is not a boolean"));
        return payload.toBool();
    case VariantType::Byte:
        return integerOf<quint8>(payload);
    case VariantType::Integer:
        return integerOf<qint16>(payload);
    case VariantType::Long:
        return integerOf<qint32>(payload);
    case VariantType::LongLong:
        return integerOf<qint64>(payload);
    case VariantType::Single:
        return QVariant::fromValue(static_cast<float>(realOf(payload)));
    case VariantType::Double:
        return realOf(payload);
    case VariantType::Date:
        return QDateTime::fromMSecsSinceEpoch(integerIn(payload, std::numeric_limits<qint64>::min(),
                                                        std::numeric_limits<qint64>::max()),
                                              Qt::UTC);
    case VariantType::String:
        if (!payload.isString())
            malformed(QStringLiteral("a String value is not text"));
        return strings == Strings::Copied ? QVariant(payload.toString()) : QVariant();
    case VariantType::ByteArray:
        if (!payload.isByteArray())
            malformed(QStringLiteral("a byte array value is not a byte string"));
        return strings == Strings::Copied ? QVariant(payload.toByteArray()) : QVariant();
    default:
        malformed(QStringLiteral("unknown type code %1").arg(typeCode));
    }
}

QVariant VariantCodec::decodeArray(const QCborValue &encoded, int depth, Strings strings) {
    if (!encoded.isArray())
        malformed(QStringLiteral("an array value is not an array"));
    if (depth >= kMaxDepth)
        malformed(QStringLiteral("arrays are nested too deeply"));
    QVariantList list;
    const QCborArray elements = encoded.toArray();
    list.reserve(elements.size());
    for (const QCborValue &element : elements)
        list.append(decodeAt(element, depth + 1, strings));
    return list;
}

QVariant VariantCodec::decodeObject(const QCborArray &parts, int depth) {
    if (parts.size() == 2 && parts.at(1).isNull())
        return QVariant::fromValue(ObjectRef());
    if (parts.size() != 3 || !parts.at(1).isString() || !parts.at(2).isMap())
        malformed(QStringLiteral("an object value is not [9, ProgID, bag]"));
    if (depth >= kMaxDepth)
        malformed(QStringLiteral("objects are nested too deeply"));
    PropertyBag inner = PropertyBag::fromDocument(parts.at(2).toMap());
    const ObjectRef object = ClassRegistry::instance().createForLoading(parts.at(1).toString());
    auto *persistable = dynamic_cast<Persistable *>(object.get());
    if (!persistable)
        malformed(
            QStringLiteral("class %1 cannot be loaded from a bag").arg(parts.at(1).toString()));
    persistable->ReadProperties(inner);
    return QVariant::fromValue(object);
}

} // namespace ixo
