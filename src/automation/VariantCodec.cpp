#include "automation/VariantCodec.h"

#include "automation/CborInput.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"

#include <QDateTime>
#include <limits>

namespace ixo {

namespace {

void writeHead(CborOutput &writer, VariantType type, quint64 parts) {
    writer.startArray(parts);
    writer.integer(static_cast<qint64>(type));
}

} // namespace

void VariantCodec::write(CborOutput &writer, const BagValue &value) {
    if (const QVariant *plain = value.plain()) {
        writePlain(writer, *plain);
    } else if (const BagValue::Slice *slice = value.slice()) {
        writeHead(writer, VariantType::ByteArray, 2);
        writer.bytes(slice->source.constData() + slice->offset, slice->size);
    } else if (const BagValue::Elements *elements = value.elements()) {
        writeHead(writer, VariantType::Array, 2);
        writer.startArray(elements->size());
        for (const BagValue &element : *elements)
            write(writer, element);
    } else {
        const BagValue::Object &object = *value.object();
        writeHead(writer, VariantType::Object, 3);
        writer.text(object.progId);
        object.bag->writeDocument(writer);
    }
}

void VariantCodec::writePlain(CborOutput &writer, const QVariant &value) {
    const VariantType type = variantTypeOf(value);
    switch (type) {
    case VariantType::Empty:
    case VariantType::Null:
        writeHead(writer, type, 1);
        break;
    case VariantType::Object: // only Nothing is kept plain
        writeHead(writer, type, 2);
        writer.null();
        break;
    case VariantType::Boolean:
        writeHead(writer, type, 2);
        writer.boolean(value.toBool());
        break;
    case VariantType::Single:
    case VariantType::Double:
        writeHead(writer, type, 2);
        writer.real(value.toDouble());
        break;
    case VariantType::Date:
        writeHead(writer, type, 2);
        writer.integer(value.toDateTime().toMSecsSinceEpoch());
        break;
    case VariantType::String:
        writeHead(writer, type, 2);
        writer.text(value.toString());
        break;
    case VariantType::ByteArray: {
        writeHead(writer, type, 2);
        const QByteArray bytes = value.toByteArray();
        writer.bytes(bytes.constData(), bytes.size());
        break;
    }
    default: // the integer types; a BagValue holds nothing else plain
        writeHead(writer, type, 2);
        writer.integer(value.toLongLong());
        break;
    }
}

BagValue VariantCodec::read(CborInput &input, int depth) {
    QCborStreamReader &reader = input.reader();
    if (!reader.isArray())
        CborInput::malformed(QStringLiteral("a value is not a [type, payload] array"));
    input.enter();
    std::optional<qint64> typeCode;
    if (input.hasNext() && reader.isInteger())
        typeCode = input.integer();
    if (!typeCode)
        CborInput::malformed(QStringLiteral("a value has no type code"));
    if (*typeCode == static_cast<qint64>(VariantType::Object))
        return readObject(input, depth);
    if (*typeCode == static_cast<qint64>(VariantType::Empty) ||
        *typeCode == static_cast<qint64>(VariantType::Null)) {
        if (input.hasNext())
            CborInput::malformed(QStringLiteral("an Empty or Null value has a payload"));
        input.leave();
        return BagValue(*typeCode == 0 ? QVariant() : QVariant::fromValue(nullptr));
    }
    if (!input.hasNext())
        CborInput::malformed(QStringLiteral("a value is not a [type, payload] pair"));
    BagValue value = readPayload(input, *typeCode, depth);
    if (input.hasNext())
        CborInput::malformed(QStringLiteral("a value is not a [type, payload] pair"));
    input.leave();
    return value;
}

BagValue VariantCodec::readPayload(CborInput &input, qint64 typeCode, int depth) {
    QCborStreamReader &reader = input.reader();
    const auto type = static_cast<VariantType>(typeCode);
    const bool known = typeCode >= 0 && typeCode < static_cast<qint64>(VariantType::Unsupported);
    switch (known ? type : VariantType::Unsupported) {
    case VariantType::Boolean:
        if (!reader.isBool())
            CborInput::malformed(QStringLiteral("a Boolean value is not a boolean"));
        return BagValue(QVariant(input.boolean()));
    case VariantType::Byte:
        return BagValue(QVariant::fromValue(static_cast<quint8>(integerIn(input, 0, 255))));
    case VariantType::Integer:
        return BagValue(QVariant::fromValue(static_cast<qint16>(integerIn(
            input, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()))));
    case VariantType::Long:
        return BagValue(QVariant::fromValue(static_cast<qint32>(integerIn(
            input, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))));
    case VariantType::LongLong:
        return BagValue(QVariant::fromValue(integerIn(input, std::numeric_limits<qint64>::min(),
                                                      std::numeric_limits<qint64>::max())));
    case VariantType::Single:
    case VariantType::Double: {
        if (!reader.isFloat16() && !reader.isFloat() && !reader.isDouble())
            CborInput::malformed(QStringLiteral("a real value is not a real number"));
        const double real = input.real();
        return BagValue(type == VariantType::Single ? QVariant::fromValue(static_cast<float>(real))
                                                    : QVariant(real));
    }
    case VariantType::Date:
        return BagValue(QVariant(
            QDateTime::fromMSecsSinceEpoch(integerIn(input, std::numeric_limits<qint64>::min(),
                                                     std::numeric_limits<qint64>::max()),
                                           Qt::UTC)));
    case VariantType::String:
        if (!reader.isString())
            CborInput::malformed(QStringLiteral("a String value is not text"));
        return BagValue(QVariant(input.text()));
    case VariantType::ByteArray:
        if (!reader.isByteArray())
            CborInput::malformed(QStringLiteral("a byte array value is not a byte string"));
        return input.bytes();
    case VariantType::Array:
        return readArray(input, depth);
    default:
        break;
    }
    input.skip();
    if (input.hasNext())
        CborInput::malformed(QStringLiteral("a value is not a [type, payload] pair"));
    CborInput::malformed(QStringLiteral("unknown type code %1").arg(typeCode));
}

BagValue VariantCodec::readArray(CborInput &input, int depth) {
    if (!input.reader().isArray())
        CborInput::malformed(QStringLiteral("an array value is not an array"));
    if (depth >= BagValue::kMaxDepth)
        CborInput::malformed(QStringLiteral("arrays are nested too deeply"));
    input.enter();
    BagValue::Elements elements;
    while (input.hasNext())
        elements.push_back(read(input, depth + 1));
    input.leave();
    return BagValue(std::move(elements));
}

BagValue VariantCodec::readObject(CborInput &input, int depth) {
    QCborStreamReader &reader = input.reader();
    const QString layout = QStringLiteral("an object value is not [9, ProgID, bag]");
    if (!input.hasNext())
        CborInput::malformed(layout);
    if (reader.isNull()) {
        input.skip();
        if (input.hasNext())
            CborInput::malformed(layout);
        input.leave();
        return BagValue(QVariant::fromValue(ObjectRef()));
    }
    if (!reader.isString())
        CborInput::malformed(layout);
    const QString progId = input.text();
    if (!input.hasNext() || !reader.isMap())
        CborInput::malformed(layout);
    if (depth >= BagValue::kMaxDepth)
        CborInput::malformed(QStringLiteral("objects are nested too deeply"));
    auto bag = std::make_shared<PropertyBag>(PropertyBag::readDocument(input, depth + 1));
    if (input.hasNext())
        CborInput::malformed(layout);
    input.leave();
    auto loaded = std::make_shared<ObjectRef>(BagValue::load(progId, *bag));
    return BagValue(BagValue::Object{progId, std::move(bag), std::move(loaded)});
}

qint64 VariantCodec::integerIn(CborInput &input, qint64 low, qint64 high) {
    std::optional<qint64> value;
    if (input.reader().isInteger())
        value = input.integer();
    if (!value)
        CborInput::malformed(QStringLiteral("an integer value is not an integer"));
    if (*value < low || *value > high)
        CborInput::malformed(QStringLiteral("an integer value is out of the range of its type"));
    return *value;
}

} // namespace ixo
