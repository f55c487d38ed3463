#include "automation/NumberText.h"

#include <QLocale>
#include <cmath>

namespace ixo {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSign(QChar c) {
    return c == QLatin1Char('+') || c == QLatin1Char('-');
}

QStringView trimmedSpace(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    return text.mid(begin, end - begin);
}

// Digits with commas between them: "1,000" and "1,00,0" are read, ",1" and "1,,0" are not.
bool appendWholeDigits(QStringView text, qsizetype &at, QString &out) {
    const qsizetype start = at;
    while (at < text.size()) {
        const QChar c = text[at];
        if (isDigit(c)) {
            out += c;
        } else if (c == QLatin1Char(',')) {
            if (at == start || at + 1 >= text.size() || !isDigit(text[at + 1]))
                return false;
        } else {
            break;
        }
        ++at;
    }
    return true;
}

qsizetype appendDigits(QStringView text, qsizetype at, QString &out) {
    while (at < text.size() && isDigit(text[at]))
        out += text[at++];
    return at;
}

} // namespace

std::optional<NumberText> NumberText::parse(const QString &text) {
    const QStringView number = trimmedSpace(text);
    if (number.size() >= 2 && number[0] == QLatin1Char('&')) {
        const QChar kind = number[1].toUpper();
        if (kind == QLatin1Char('H'))
            return parseRadix(number.mid(2), 16);
        if (kind == QLatin1Char('O'))
            return parseRadix(number.mid(2), 8);
        return std::nullopt;
    }
    return parseDecimal(number);
}

std::optional<NumberText> NumberText::parseRadix(QStringView digits, int base) {
    if (digits.isEmpty())
        return std::nullopt;
    NumberText result;
    result.m_radix = true;
    for (const QChar c : digits) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                          : c.toUpper() >= QLatin1Char('A') && c.toUpper() <= QLatin1Char('F')
                              ? c.toUpper().unicode() - 'A' + 10
                              : -1;
        if (digit < 0 || digit >= base)
            return std::nullopt;
        if (result.m_bits > (UINT64_MAX - static_cast<std::uint64_t>(digit)) / base)
            result.m_radixOverflow = true;
        result.m_bits =
            result.m_bits * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    result.m_value = static_cast<double>(result.m_bits);
    return result;
}

std::optional<NumberText> NumberText::parseDecimal(QStringView text) {
    bool negative = false;
    if (text.size() >= 2 && text.front() == QLatin1Char('(') && text.back() == QLatin1Char(')')) {
        negative = true;
        text = text.mid(1, text.size() - 2);
    }
    // Parentheses stand for the sign: none may come with them.
    bool signSeen = negative;
    if (!signSeen && !text.isEmpty() && isSign(text.front())) {
        negative = negative != (text.front() == QLatin1Char('-'));
        signSeen = true;
        text = text.mid(1);
    }
    if (!signSeen && !text.isEmpty() && isSign(text.back())) {
        negative = negative != (text.back() == QLatin1Char('-'));
        text = text.chopped(1);
    }

    QString plain;
    qsizetype at = 0;
    if (!appendWholeDigits(text, at, plain))
        return std::nullopt;
    if (at < text.size() && text[at] == QLatin1Char('.')) {
        plain += QLatin1Char('.');
        at = appendDigits(text, at + 1, plain);
    }
    if (plain.isEmpty() || plain == QLatin1String("."))
        return std::nullopt;
    if (at < text.size() && QStringLiteral("eEdD").contains(text[at])) {
        plain += QLatin1Char('e');
        ++at;
        if (at < text.size() && isSign(text[at]))
            plain += text[at++];
        const qsizetype exponentStart = at;
        at = appendDigits(text, at, plain);
        if (at == exponentStart)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;

    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    // A value too large for a double reads as infinity so that the caller reports an overflow.
    if (!ok && !std::isinf(value))
        return std::nullopt;
    NumberText result;
    result.m_value = negative ? -value : value;
    return result;
}

std::optional<std::int64_t> NumberText::radixValue(int bits) const {
    if (m_radixOverflow || (bits < 64 && m_bits >> bits != 0))
        return std::nullopt;
    const std::uint64_t signBit = std::uint64_t{1} << (bits - 1);
    if (m_bits & signBit)
        return static_cast<std::int64_t>(m_bits - signBit) - static_cast<std::int64_t>(signBit);
    return static_cast<std::int64_t>(m_bits);
}

} // namespace ixo
