#include "instruments/sequences/SettingsList.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ScpiSettings.h"

#include <QThread>

namespace ixo {

namespace {

const QString kSettingsListSource = QStringLiteral("IxoInstrSetups.ScpiInstrument");

QString keyOf(const QString &name) {
    return name.toUpper();
}

} // namespace

SettingsList::SettingsList(ScpiInstrument &instrument, const InstrumentProfile &profile)
    : m_instrument(instrument)
    , m_profile(profile) {}

QString SettingsList::setupText(const QList<std::pair<QString, QString>> &values) {
    QStringList commands;
    for (const auto &[name, value] : values)
        commands.append(name + QLatin1Char(' ') + value);
    return commands.join(QLatin1Char(';'));
}

QString SettingsList::capture() {
    QList<std::pair<QString, QString>> values;
    for (const ProfileSetting &setting : m_profile.settings) {
        try {
            m_instrument.sendMessage(setting.query.toUtf8(), m_profile.timeoutMs);
            const QString value =
                QString::fromUtf8(m_instrument.readAnswer(setting.query, m_profile.timeoutMs))
                    .trimmed();
            if (value.isEmpty() || value.contains(QLatin1Char(';')))
                m_instrument.failProtocol(
                    QStringLiteral("answered %1 with %2")
                        .arg(setting.query, ScpiInstrument::quoted(value.toUtf8())));
            values.append({setting.name, value});
        } catch (const AutomationError &error) {
            throw AutomationError(error.number(), error.source(),
                                  QStringLiteral("%1 (reading the setting %2 with %3)")
                                      .arg(error.description(), setting.name, setting.query));
        }
    }
    failOnErrors(QStringLiteral("capture"));
    return setupText(values);
}

QList<ProfileSetting> SettingsList::restoreOrder() const {
    QList<ProfileSetting> order;
    for (const ProfileSetting &setting : m_profile.settings)
        if (!setting.output)
            order.append(setting);
    for (const ProfileSetting &setting : m_profile.settings)
        if (setting.output)
            order.append(setting);
    return order;
}

void SettingsList::restore(const QString &setup) {
    QMap<QString, QString> values;
    const QMap<QString, QString> parsed = ScpiSettings::parse(setup);
    for (auto it = parsed.cbegin(); it != parsed.cend(); ++it)
        values.insert(keyOf(it.key()), it.value());
    if (values.isEmpty())
        throw AutomationError(ErrorNumber::InvalidProcedureCall, kSettingsListSource,
                              QStringLiteral("The setup holds no settings"));
    QStringList unknown = values.keys();
    QByteArrayList commands;
    for (const ProfileSetting &setting : restoreOrder()) {
        unknown.removeAll(keyOf(setting.name));
        const auto value = values.constFind(keyOf(setting.name));
        if (value == values.cend()) {
            m_warnings.append(QStringLiteral("%1: the setup has no value for %2; it is left as "
                                             "it is")
                                  .arg(m_instrument.resourceName(), setting.name));
            m_leftAlone.insert(setting.name);
            continue;
        }
        if (setting.output && !m_profile.switchOutputsOn && ProfileSetting::switchesOn(*value)) {
            m_warnings.append(QStringLiteral("%1: %2 is left as it is: this profile never "
                                             "switches an output on")
                                  .arg(m_instrument.resourceName(), setting.name));
            m_leftAlone.insert(setting.name);
            continue;
        }
        commands.append(setting.commandFor(*value).toUtf8());
    }
    if (!unknown.isEmpty())
        m_warnings.append(QStringLiteral("%1: settings this profile does not know were left "
                                         "out: %2")
                              .arg(m_instrument.resourceName(), unknown.join(QLatin1String(", "))));
    // One command a message: an instrument that refuses one still takes the others, and the
    // error queue names which.
    for (const QByteArray &command : commands)
        m_instrument.sendMessage(command, m_profile.timeoutMs);
    m_instrument.sendMessage("*OPC?", m_profile.timeoutMs);
    m_instrument.readAnswer(QStringLiteral("*OPC?"), m_profile.timeoutMs);
    if (m_profile.settleMs > 0)
        QThread::msleep(static_cast<unsigned long>(m_profile.settleMs));
    failOnErrors(QStringLiteral("restore"));
}

void SettingsList::failOnErrors(const QString &operation) {
    const QStringList errors = m_instrument.readErrors();
    if (!errors.isEmpty())
        throw AutomationError(
            ErrorNumber::Fail, kSettingsListSource,
            QStringLiteral("%1 reported an error during the %2: %3")
                .arg(m_instrument.resourceName(), operation, errors.join(QLatin1String("; "))));
}

} // namespace ixo
