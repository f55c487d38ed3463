#include "instruments/sequences/TemporaryFileRule.h"

#include "instruments/sequences/ProfileJsonReader.h"

namespace ixo {

namespace {

constexpr int kUniqueDigits = 4;
constexpr int kMaxNameLength = 255;

} // namespace

TemporaryFileRule::Name TemporaryFileRule::make(quint32 unique) const {
    // Base-36 digits keep the name short and valid on 8.3 file systems.
    const QString suffix = QString::number(unique % (36 * 36 * 36 * 36), 36)
                               .rightJustified(kUniqueDigits, QLatin1Char('0'))
                               .toUpper();
    QString base = baseName;
    if (maxLength > 0)
        base.truncate(std::max<qsizetype>(0, maxLength - extension.size() - kUniqueDigits));
    const QString stem = folder + base + suffix;
    return {stem + extension, stem};
}

TemporaryFileRule TemporaryFileRule::fromJson(const ProfileJsonReader &reader) {
    reader.onlyFields({QStringLiteral("folder"), QStringLiteral("baseName"),
                       QStringLiteral("maxLength"), QStringLiteral("extension"),
                       QStringLiteral("instrumentAddsExtension")});
    TemporaryFileRule rule;
    rule.folder = reader.text(QStringLiteral("folder"), {});
    rule.baseName = reader.text(QStringLiteral("baseName"), rule.baseName);
    rule.maxLength = int(reader.number(QStringLiteral("maxLength"), 0, 0, kMaxNameLength));
    rule.extension = reader.text(QStringLiteral("extension"), {});
    rule.instrumentAddsExtension = reader.flag(QStringLiteral("instrumentAddsExtension"), false);
    for (const QString &field :
         {QStringLiteral("folder"), QStringLiteral("baseName"), QStringLiteral("extension")}) {
        const QString value = reader.text(field, {});
        if (value.contains(QLatin1Char('\'')) || value.contains(QLatin1Char('"')) ||
            value.contains(QLatin1Char('\n')))
            reader.fail(field, QStringLiteral("may not hold quotes or line breaks"));
    }
    if (rule.maxLength > 0 && rule.maxLength < rule.extension.size() + kUniqueDigits)
        reader.fail(QStringLiteral("maxLength"),
                    QStringLiteral("leaves no room for a unique name (%1 characters at least)")
                        .arg(rule.extension.size() + kUniqueDigits));
    if (rule.instrumentAddsExtension && rule.extension.isEmpty())
        reader.fail(QStringLiteral("extension"),
                    QStringLiteral("is needed when the instrument adds it"));
    return rule;
}

QJsonObject TemporaryFileRule::toJson() const {
    QJsonObject json{{QStringLiteral("folder"), folder},
                     {QStringLiteral("baseName"), baseName},
                     {QStringLiteral("extension"), extension},
                     {QStringLiteral("instrumentAddsExtension"), instrumentAddsExtension}};
    if (maxLength > 0)
        json.insert(QStringLiteral("maxLength"), maxLength);
    return json;
}

} // namespace ixo
