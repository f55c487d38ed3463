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

    // Deepest array nesting accepted, against stack exhaustion on hostile input.
    static constexpr int kMaxDepth = 64;

private:
    static QCborValue encodeAt(const QVariant &value, int depth);
    static QVariant decodeAt(const QCborValue &encoded, int depth);
    static QCborValue encodeObject(const QVariant &value, int depth);
    static QVariant decodeObject(const QCborArray &encoded, int depth);
    static QCborValue encodeArray(const QVariantList &list, int depth);
    static QVariant decodeArray(const QCborValue &payload, int depth);
    static QVariant decodeScalar(int typeCode, const QCborValue &payload);
};

} // namespace ixo
