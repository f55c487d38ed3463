#include "instruments/sequences/ProfileSetting.h"

#include "instruments/sequences/ProfileJsonReader.h"

namespace ixo {

const QString ProfileSetting::kValue = QStringLiteral("{}");

QString ProfileSetting::commandFor(const QString &value) const {
    QString text = command;
    return text.replace(kValue, value.trimmed());
}

bool ProfileSetting::switchesOn(const QString &value) {
    const QString text = value.trimmed();
    bool ok = false;
    const double number = text.toDouble(&ok);
    return (ok && number != 0) || text.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
}

ProfileSetting ProfileSetting::fromJson(const ProfileJsonReader &reader) {
    reader.onlyFields({QStringLiteral("name"), QStringLiteral("query"), QStringLiteral("command"),
                       QStringLiteral("output")});
    ProfileSetting setting;
    setting.query = reader.text(QStringLiteral("query"), {}, true);
    if (!setting.query.contains(QLatin1Char('?')) || setting.query.contains(QLatin1Char('\n')))
        reader.fail(QStringLiteral("query"),
                    QStringLiteral("must be one query, not \"%1\"").arg(setting.query));
    setting.command = reader.text(QStringLiteral("command"), {}, true);
    if (setting.command.count(kValue) != 1 || setting.command.contains(QLatin1Char('\n')))
        reader.fail(QStringLiteral("command"),
                    QStringLiteral("must hold \"{}\" once, where the value goes, not \"%1\"")
                        .arg(setting.command));
    // The name is the setup's key for the setting: one word, as a learn string's header.
    QString fallback = setting.query;
    fallback.remove(QLatin1Char('?')).remove(QLatin1Char(' '));
    setting.name = reader.text(QStringLiteral("name"), fallback);
    if (setting.name.isEmpty() || setting.name.contains(QLatin1Char(' ')) ||
        setting.name.contains(QLatin1Char(';')))
        reader.fail(QStringLiteral("name"),
                    QStringLiteral("must be one word without \";\", not \"%1\"").arg(setting.name));
    setting.output = reader.flag(QStringLiteral("output"), false);
    return setting;
}

QList<ProfileSetting> ProfileSetting::listFromJson(const ProfileJsonReader &reader,
                                                   const QString &field) {
    QList<ProfileSetting> settings;
    const qsizetype count = reader.list(field).size();
    for (qsizetype i = 0; i < count; ++i) {
        ProfileSetting setting = fromJson(reader.element(field, i));
        for (const ProfileSetting &earlier : settings)
            if (earlier.name.compare(setting.name, Qt::CaseInsensitive) == 0)
                reader.element(field, i).fail(
                    QStringLiteral("name"),
                    QStringLiteral("\"%1\" is already the name of another setting")
                        .arg(setting.name));
        settings.append(std::move(setting));
    }
    return settings;
}

QJsonObject ProfileSetting::toJson() const {
    return {{QStringLiteral("name"), name},
            {QStringLiteral("query"), query},
            {QStringLiteral("command"), command},
            {QStringLiteral("output"), output}};
}

} // namespace ixo
