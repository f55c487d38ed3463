#pragma once

#include "automation/Export.h"

#include <QString>
#include <QVariant>
#include <cstdint>

namespace ixo {

// The automation conversions: numbers round half to even, out-of-range values overflow
// (error 6), values that have no such meaning are a type mismatch (error 13), Empty is 0
// or the empty string and Null cannot be converted (error 94).
class IXO_EXPORT VariantConvert {
public:
    static std::int16_t toInteger(const QVariant &value);
    static std::int32_t toLong(const QVariant &value);
    static QString toString(const QVariant &value);

    // The number a value stands for, before rounding and range checks.
    static double toNumber(const QVariant &value);

private:
    static double roundHalfEven(double value);
    static double checkedRound(double value, double low, double high);
};

} // namespace ixo
