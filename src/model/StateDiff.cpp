#include "model/StateDiff.h"

#include "automation/VariantType.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace ixo {

namespace {

QString textOf(const QVariant &value) {
    if (variantTypeOf(value) == VariantType::String)
        return value.toString();
    return QString::fromUtf8(value.toByteArray());
}

// A learn string puts its commands on one line, separated by ";": each is compared on its own.
QStringList linesOf(const QString &text) {
    static const QRegularExpression separators(QStringLiteral("[\\n;]"));
    QStringList lines = text.split(separators);
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

bool StateDiff::isText(const QVariant &value) {
    if (variantTypeOf(value) == VariantType::String)
        return true;
    if (value.typeId() != QMetaType::QByteArray)
        return false;
    const QByteArray bytes = value.toByteArray();
    const bool printable = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 || c == '\n' || c == '\r' || c == '\t';
    });
    QStringDecoder decoder(QStringDecoder::Utf8);
    (void)QString(decoder.decode(bytes));
    return printable && !decoder.hasError();
}

StateDiff StateDiff::compare(const QVariant &first, const QVariant &second) {
    StateDiff diff;
    diff.m_text = isText(first) && isText(second);
    if (diff.m_text) {
        const QStringList a = linesOf(textOf(first));
        const QStringList b = linesOf(textOf(second));
        diff.m_sizes[0] = a.size();
        diff.m_sizes[1] = b.size();
        diff.compareLines(a, b);
    } else {
        const QByteArray a = first.toByteArray();
        const QByteArray b = second.toByteArray();
        diff.m_sizes[0] = a.size();
        diff.m_sizes[1] = b.size();
        diff.compareBytes(a, b);
    }
    return diff;
}

// The lines of a longest common subsequence stay; the rest are reported.
void StateDiff::compareLines(const QStringList &a, const QStringList &b) {
    const auto n = static_cast<std::size_t>(a.size());
    const auto m = static_cast<std::size_t>(b.size());
    if (a.size() > kMaxAlignedLines || b.size() > kMaxAlignedLines) {
        for (std::size_t i = 0; i < std::max(n, m); ++i) {
            const qsizetype k = static_cast<qsizetype>(i);
            if (k < a.size() && (k >= b.size() || a[k] != b[k]))
                m_lines.push_back({'-', a[k]});
            if (k < b.size() && (k >= a.size() || a[k] != b[k]))
                m_lines.push_back({'+', b[k]});
        }
        return;
    }
    std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = a[qsizetype(i)] == b[qsizetype(j)]
                               ? common[i + 1][j + 1] + 1
                               : std::max(common[i + 1][j], common[i][j + 1]);
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[qsizetype(i)] == b[qsizetype(j)]) {
            ++i;
            ++j;
        } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
            m_lines.push_back({'-', a[qsizetype(i++)]});
        } else {
            m_lines.push_back({'+', b[qsizetype(j++)]});
        }
    }
}

void StateDiff::compareBytes(const QByteArray &a, const QByteArray &b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common && m_ranges.size() < kMaxRanges; ++i) {
        if (a[i] == b[i])
            continue;
        const qsizetype begin = i;
        while (i < common && a[i] != b[i])
            ++i;
        m_ranges.push_back({begin, i});
    }
    if (a.size() != b.size() && m_ranges.size() < kMaxRanges)
        m_ranges.push_back({common, std::max(a.size(), b.size())});
}

QStringList StateDiff::toText() const {
    QStringList text;
    if (same())
        return {QStringLiteral("the data are the same")};
    for (const Line &line : m_lines)
        text << QStringLiteral("%1 %2").arg(QLatin1Char(line.op)).arg(line.text);
    for (const Range &range : m_ranges)
        text << QStringLiteral("bytes %1-%2 differ").arg(range.begin).arg(range.end - 1);
    if (!m_text && m_sizes[0] != m_sizes[1])
        text << QStringLiteral("sizes %1 and %2 bytes").arg(m_sizes[0]).arg(m_sizes[1]);
    return text;
}

QJsonObject StateDiff::toJson() const {
    QJsonArray lines;
    for (const Line &line : m_lines)
        lines.append(QJsonObject{{QStringLiteral("op"), QString(QLatin1Char(line.op))},
                                 {QStringLiteral("text"), line.text}});
    QJsonArray ranges;
    for (const Range &range : m_ranges)
        ranges.append(QJsonObject{{QStringLiteral("begin"), double(range.begin)},
                                  {QStringLiteral("end"), double(range.end)}});
    return {{QStringLiteral("same"), same()},
            {QStringLiteral("kind"), m_text ? QStringLiteral("text") : QStringLiteral("bytes")},
            {QStringLiteral("sizes"), QJsonArray{double(m_sizes[0]), double(m_sizes[1])}},
            {QStringLiteral("lines"), lines},
            {QStringLiteral("ranges"), ranges}};
}

} // namespace ixo
