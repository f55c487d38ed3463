#include "automation/VariantConvert.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/NumberText.h"
#include "automation/VariantType.h"

#include <QDateTime>
#include <cmath>
#include <limits>

namespace ixo {

namespace {

const QString kVariantConvertSource = QStringLiteral("IxoInstrSetups");

// Days since 1899-12-30, the automation date's numeric meaning.
double dateToNumber(const QDateTime &date) {
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC);
    return static_cast<double>(epoch.msecsTo(date.toUTC())) / 86400000.0;
}

NumberText parseNumber(const QString &text) {
    const std::optional<NumberText> number = NumberText::parse(text);
    if (!number)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kVariantConvertSource);
    return *number;
}

// Hexadecimal and octal text fills a whole number of the given width.
std::optional<std::int64_t> radixText(const QVariant &value, int bits) {
    if (variantTypeOf(value) != VariantType::String)
        return std::nullopt;
    const NumberText number = parseNumber(value.toString());
    if (!number.isRadix())
        return std::nullopt;
    const std::optional<std::int64_t> result = number.radixValue(bits);
    if (!result)
        throw AutomationError::standard(ErrorNumber::Overflow, kVariantConvertSource);
    return result;
}

QString numberText(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace

double VariantConvert::toNumber(const QVariant &value) {
    switch (variantTypeOf(value)) {
    case VariantType::Empty:
        return 0.0;
    case VariantType::Null:
        throw AutomationError::standard(ErrorNumber::InvalidUseOfNull, kVariantConvertSource);
    case VariantType::Boolean:
        return value.toBool() ? -1.0 : 0.0;
    case VariantType::Byte:
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::LongLong:
        return static_cast<double>(value.toLongLong());
    case VariantType::Single:
    case VariantType::Double:
        return value.toDouble();
    case VariantType::Date:
        return dateToNumber(value.toDateTime());
    case VariantType::String: {
        const NumberText number = parseNumber(value.toString());
        if (!number.isRadix())
            return number.value();
        // Hexadecimal and octal text holds at most the bits of a Long.
        const std::optional<std::int64_t> asLong = number.radixValue(32);
        if (!asLong)
            throw AutomationError::standard(ErrorNumber::Overflow, kVariantConvertSource);
        return static_cast<double>(*asLong);
    }
    default:
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kVariantConvertSource);
    }
}

double VariantConvert::roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff > 0.5)
        return floor + 1.0;
    if (diff < 0.5)
        return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

double VariantConvert::checkedRound(double value, double low, double high) {
    if (std::isnan(value))
        throw AutomationError::standard(ErrorNumber::Overflow, kVariantConvertSource);
    const double rounded = roundHalfEven(value);
    if (rounded < low || rounded > high)
        throw AutomationError::standard(ErrorNumber::Overflow, kVariantConvertSource);
    return rounded;
}

std::int16_t VariantConvert::toInteger(const QVariant &value) {
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    if (const std::optional<std::int64_t> bits = radixText(value, 16))
        return static_cast<std::int16_t>(*bits);
    return static_cast<std::int16_t>(checkedRound(toNumber(value), low, high));
}

std::int32_t VariantConvert::toLong(const QVariant &value) {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (const std::optional<std::int64_t> bits = radixText(value, 32))
        return static_cast<std::int32_t>(*bits);
    return static_cast<std::int32_t>(checkedRound(toNumber(value), low, high));
}

QString VariantConvert::toString(const QVariant &value) {
    switch (variantTypeOf(value)) {
    case VariantType::Empty:
        return QString();
    case VariantType::Null:
        throw AutomationError::standard(ErrorNumber::InvalidUseOfNull, kVariantConvertSource);
    case VariantType::String:
        return value.toString();
    case VariantType::Boolean:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case VariantType::Byte:
    case VariantType::Integer:
    case VariantType::Long:
    case VariantType::LongLong:
        return QString::number(value.toLongLong());
    case VariantType::Single:
        return QString::number(value.toFloat(), 'g', 7);
    case VariantType::Double:
        return numberText(value.toDouble());
    case VariantType::Date:
        return value.toDateTime().toString(Qt::ISODateWithMs);
    default:
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kVariantConvertSource);
    }
}

} // namespace ixo
