#include "automation/VariantType.h"

#include "automation/ObjectRef.h"

#include <QDateTime>

namespace ixo {

VariantType variantTypeOf(const QVariant &value) {
    if (!value.isValid())
        return VariantType::Empty;
    switch (value.metaType().id()) {
    case QMetaType::Nullptr:
        return VariantType::Null;
    case QMetaType::Bool:
        return VariantType::Boolean;
    case QMetaType::UChar:
        return VariantType::Byte;
    case QMetaType::Short:
        return VariantType::Integer;
    case QMetaType::Int:
        return VariantType::Long;
    case QMetaType::LongLong:
        return VariantType::LongLong;
    case QMetaType::Float:
        return VariantType::Single;
    case QMetaType::Double:
        return VariantType::Double;
    case QMetaType::QDateTime:
        return VariantType::Date;
    case QMetaType::QString:
        return VariantType::String;
    case QMetaType::QByteArray:
        return VariantType::ByteArray;
    case QMetaType::QVariantList:
        return VariantType::Array;
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<ObjectRef>())
        return VariantType::Object;
    return VariantType::Unsupported;
}

const char *variantTypeName(VariantType type) {
    switch (type) {
    case VariantType::Empty:
        return "Empty";
    case VariantType::Null:
        return "Null";
    case VariantType::Integer:
        return "Integer";
    case VariantType::Long:
        return "Long";
    case VariantType::Single:
        return "Single";
    case VariantType::Double:
        return "Double";
    case VariantType::Date:
        return "Date";
    case VariantType::String:
        return "String";
    case VariantType::Object:
        return "Object";
    case VariantType::Boolean:
        return "Boolean";
    case VariantType::Byte:
        return "Byte";
    case VariantType::LongLong:
        return "LongLong";
    case VariantType::Array:
        return "Variant()";
    case VariantType::ByteArray:
        return "Byte()";
    case VariantType::Unsupported:
        break;
    }
    return "Unsupported";
}

} // namespace ixo
