#pragma once

#include "automation/Export.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace ixo {

// Text read as a number the way the automation platform reads it (United States conventions):
// white space around it, a sign before or after it or parentheses for a negative value,
// thousands separators in the whole part, a decimal point, an exponent (E or D), or a
// hexadecimal (&H) or octal (&O) whole number in either letter case.
class IXO_EXPORT NumberText {
public:
    // Nothing when the text is not a number.
    static std::optional<NumberText> parse(const QString &text);

    // The value of a decimal text; of a hexadecimal or octal one, its bits read unsigned.
    double value() const { return m_value; }

    // A hexadecimal or octal text holds bits rather than a signed value: it fills the target
    // type as its two's complement, so &HFFFF is -1 as a 16-bit integer.
    bool isRadix() const { return m_radix; }
    // The bits as a signed number of the given width, or nothing when they do not fit it.
    std::optional<std::int64_t> radixValue(int bits) const;

private:
    static std::optional<NumberText> parseRadix(QStringView digits, int base);
    static std::optional<NumberText> parseDecimal(QStringView text);

    double m_value = 0.0;
    bool m_radix = false;
    bool m_radixOverflow = false;
    std::uint64_t m_bits = 0;
};

} // namespace ixo
