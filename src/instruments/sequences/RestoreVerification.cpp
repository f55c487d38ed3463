#include "instruments/sequences/RestoreVerification.h"

#include "automation/VariantType.h"
#include "instruments/ScpiSettings.h"
#include "support/Crc32.h"

namespace ixo {

namespace {

QMap<QString, QString> settingsOf(QString text) {
    return ScpiSettings::parse(
        text.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(';')));
}

// "5" and "+5.00000000E+00" are the same setting.
bool sameValue(const QString &a, const QString &b) {
    if (a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    bool okA = false;
    bool okB = false;
    const double x = a.toDouble(&okA);
    const double y = b.toDouble(&okB);
    return okA && okB && qFuzzyCompare(1.0 + x, 1.0 + y);
}

QString blockText(const QByteArray &bytes) {
    return QStringLiteral("%1 bytes, CRC-32 %2")
        .arg(bytes.size())
        .arg(Crc32::of(bytes), 8, 16, QLatin1Char('0'));
}

} // namespace

QStringList RestoreVerification::differences(const QVariant &restored, const QVariant &readBack,
                                             const QSet<QString> &leftAlone) {
    const bool text = variantTypeOf(restored) == VariantType::String;
    if (!text || variantTypeOf(readBack) != VariantType::String) {
        const QByteArray a = text ? restored.toString().toUtf8() : restored.toByteArray();
        const QByteArray b = variantTypeOf(readBack) == VariantType::String
                                 ? readBack.toString().toUtf8()
                                 : readBack.toByteArray();
        if (a == b)
            return {};
        return {QStringLiteral("the setup read back (%1) differs from the one restored (%2)")
                    .arg(blockText(b), blockText(a))};
    }
    const QMap<QString, QString> wanted = settingsOf(restored.toString());
    const QMap<QString, QString> got = settingsOf(readBack.toString());
    if (wanted.isEmpty())
        return restored.toString().trimmed() == readBack.toString().trimmed()
                   ? QStringList()
                   : QStringList{QStringLiteral("the setup read back differs from the one "
                                                "restored")};
    QStringList differences;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        if (leftAlone.contains(it.key()))
            continue;
        const auto actual = got.constFind(it.key());
        if (actual == got.cend())
            differences.append(
                QStringLiteral("%1 (%2 restored, not read back)").arg(it.key(), it.value()));
        else if (!sameValue(it.value(), *actual))
            differences.append(QStringLiteral("%1 (%2 restored, %3 read back)")
                                   .arg(it.key(), it.value(), *actual));
    }
    return differences;
}

} // namespace ixo
