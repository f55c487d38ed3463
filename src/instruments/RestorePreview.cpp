#include "instruments/RestorePreview.h"

#include "instruments/StateDiff.h"

namespace ixo {

namespace {

QString settingLine(const StateDiff::Setting &setting) {
    switch (setting.change) {
    case StateDiff::Change::Changed:
        return RestorePreview::tr("%1: %2 becomes %3")
            .arg(setting.header, setting.first, setting.second);
    case StateDiff::Change::OnlySecond:
        return RestorePreview::tr("%1: set to %2").arg(setting.header, setting.second);
    case StateDiff::Change::OnlyFirst:
        return RestorePreview::tr("%1: %2 (not in the saved state)")
            .arg(setting.header, setting.first);
    case StateDiff::Change::Same:
        break;
    }
    return {};
}

QStringList blockLines(const StateDiff &diff) {
    if (diff.same())
        return {RestorePreview::tr("The saved setup block is the same as the instrument's.")};
    return {RestorePreview::tr("The instrument's setup block (%1 bytes) is replaced by the saved "
                               "one (%2 bytes).")
                .arg(diff.block(0).size)
                .arg(diff.block(1).size)};
}

QStringList settingLines(const StateDiff &diff) {
    QStringList lines;
    for (const StateDiff::Setting &setting : diff.settings()) {
        if (const QString line = settingLine(setting); !line.isEmpty())
            lines << line;
    }
    if (lines.isEmpty())
        lines << RestorePreview::tr("The restore changes no setting.");
    return lines;
}

} // namespace

QStringList RestorePreview::lines(const StateDiff &diff) {
    QStringList lines = diff.isText() ? settingLines(diff) : blockLines(diff);
    if (lines.size() > kMaxLines) {
        const qsizetype more = lines.size() - kMaxLines;
        lines.resize(kMaxLines);
        lines << tr("... and %1 more").arg(more);
    }
    return lines;
}

QString RestorePreview::question(const QString &instrument, const StateDiff &diff) {
    return tr("Restoring the saved state changes these settings of %1:\n\n%2\n\nRestore it?")
        .arg(instrument, lines(diff).join(QLatin1Char('\n')));
}

QString RestorePreview::title() {
    return tr("Restore preview");
}

} // namespace ixo
