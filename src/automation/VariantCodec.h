#pragma once

#include "automation/BagValue.h"
#include "automation/CborOutput.h"
#include "automation/Export.h"

namespace ixo {

class CborInput;

// Writes stored values as CBOR and reads them back without losing their exact type: each
// value is the array [type code, payload]. Objects are their ProgID and their own bag.
class IXO_EXPORT VariantCodec {
public:
    static void write(CborOutput &writer, const BagValue &value);
    // Reads one value at `depth` levels of arrays and objects; an object is made as it is
    // read, so a document it cannot load is refused at once.
    static BagValue read(CborInput &input, int depth);

private:
    static void writePlain(CborOutput &writer, const QVariant &value);
    static BagValue readPayload(CborInput &input, qint64 typeCode, int depth);
    static BagValue readObject(CborInput &input, int depth);
    static BagValue readArray(CborInput &input, int depth);
    static qint64 integerIn(CborInput &input, qint64 low, qint64 high);
};

} // namespace ixo
