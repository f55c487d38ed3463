#pragma once

#include "automation/Export.h"

#include <QVariant>
#include <cstdint>

namespace ixo {

// The automation types a value can have; the numbers are those of the automation variant
// type codes, so stored documents can be read with that table at hand.
enum class VariantType : std::uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Date = 7,
    String = 8,
    Object = 9,
    Boolean = 11,
    Byte = 17,
    LongLong = 20,
    Array = 0x200C,
    ByteArray = 0x2011,
    Unsupported = 0xFFFF,
};

IXO_EXPORT VariantType variantTypeOf(const QVariant &value);
IXO_EXPORT const char *variantTypeName(VariantType type);

} // namespace ixo
