#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace ixo {

// Compares the data of two saved states: SCPI text line by line, anything else as byte
// ranges. Learn strings can also be compared setting by setting, and blocks by size and
// checksum, for views that show one row per setting.
class IXO_EXPORT StateDiff {
public:
    enum class Change { Same, Changed, OnlyFirst, OnlySecond };
    struct Setting {
        QString header;
        QString first;  // empty unless the first holds the setting
        QString second; // likewise for the second
        Change change;
    };
    struct Block {
        qsizetype size;
        quint32 crc32;
    };

    struct Line {
        char op; // '-' only in the first, '+' only in the second
        QString text;
    };
    struct Range {
        qsizetype begin;
        qsizetype end; // one past the last differing byte
    };

    static StateDiff compare(const QVariant &first, const QVariant &second);

    bool same() const { return m_lines.empty() && m_ranges.empty() && m_sizes[0] == m_sizes[1]; }
    bool isText() const { return m_text; }
    const std::vector<Line> &lines() const { return m_lines; }
    const std::vector<Range> &ranges() const { return m_ranges; }

    // Every setting of either learn string, by header; empty unless both are text.
    std::vector<Setting> settings() const;
    // The first or second state's size and CRC-32 (index 0 or 1).
    Block block(int index) const { return m_blocks[index]; }

    QStringList toText() const;
    QJsonObject toJson() const;

    // Larger texts are compared line against line in order, to keep the work bounded.
    static constexpr qsizetype kMaxAlignedLines = 4000;
    static constexpr std::size_t kMaxRanges = 1000;

private:
    static bool isText(const QVariant &value);
    void compareLines(const QStringList &first, const QStringList &second);
    void compareBytes(const QByteArray &first, const QByteArray &second);

    bool m_text = false;
    qsizetype m_sizes[2] = {0, 0};
    Block m_blocks[2] = {{0, 0}, {0, 0}};
    QString m_texts[2];
    std::vector<Line> m_lines;
    std::vector<Range> m_ranges;
};

} // namespace ixo
