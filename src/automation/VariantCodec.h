#pragma once

#include <QCborValue>
#include <QVariant>

namespace ixo {

// Turns automation values into CBOR and back without losing their exact type: each value is
// the array [type code, payload]. Objects are stored as their ProgID and their own bag.
class VariantCodec {
public:
    static QCborValue encode(const QVariant &value);
    static QVariant decode(const QCborValue &encoded);
    // Refuses what decode refuses, without copying out text and bytes; objects are still made.
    static void validate(const QCborValue &encoded);

    // Deepest array nesting accepted, against stack exhaustion on hostile input.
    static constexpr int kMaxDepth = 64;

private:
    static QCborValue encodeAt(const QVariant &value, int depth);
    // Text and bytes are copied out, or only their type is checked.
    enum class Strings { Copied, CheckedOnly };

    static QVariant decodeAt(const QCborValue &encoded, int depth,
                             Strings strings = Strings::Copied);
    static QCborValue encodeObject(const QVariant &value, int depth);
    static QVariant decodeObject(const QCborArray &encoded, int depth);
    static QCborValue encodeArray(const QVariantList &list, int depth);
    static QVariant decodeArray(const QCborValue &encoded, int depth, Strings strings);
    static QVariant decodeScalar(int typeCode, const QCborValue &payload, Strings strings);
};

} // namespace ixo
