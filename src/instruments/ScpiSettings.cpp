#include "instruments/ScpiSettings.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/ScpiInstrument.h"

#include <QStringList>

namespace ixo {

ScpiSettings::ScpiSettings(std::shared_ptr<ScpiInstrument> instrument)
    : m_instrument(std::move(instrument)) {}

namespace {

// Splits at the ";" that end commands, not at one inside a quoted string parameter.
QStringList commandsOf(const QString &learnString) {
    QStringList commands;
    QString current;
    QChar quote;
    for (const QChar c : learnString) {
        if (quote.isNull() && c == QLatin1Char(';')) {
            commands.append(current);
            current.clear();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = quote.isNull() ? c : (quote == c ? QChar() : quote);
        current.append(c);
    }
    commands.append(current);
    return commands;
}

} // namespace

QMap<QString, QString> ScpiSettings::parse(const QString &learnString) {
    QMap<QString, QString> settings;
    for (const QString &command : commandsOf(learnString)) {
        const QString text = command.trimmed();
        const qsizetype space = text.indexOf(QLatin1Char(' '));
        if (text.startsWith(QLatin1Char('*')) || space <= 0)
            continue;
        settings.insert(text.left(space), text.mid(space + 1).trimmed());
    }
    return settings;
}

QMap<QString, QString> ScpiSettings::read() const {
    return parse(QString::fromUtf8(m_instrument->query(ScpiInstrument::kLearnQuery)));
}

void ScpiSettings::write(const QString &header, const QString &value) const {
    // A value that starts a second command would change more than the one setting.
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('\n')))
        throw AutomationError(
            ErrorNumber::InvalidProcedureCall, m_instrument->resourceName(),
            QStringLiteral("A value holds no \";\" or line break: %1").arg(value));
    m_instrument->send(header + QLatin1Char(' ') + value.trimmed());
    const QStringList errors = m_instrument->readErrors();
    if (!errors.isEmpty())
        throw AutomationError(ErrorNumber::Fail, m_instrument->resourceName(),
                              QStringLiteral("%1 %2: %3")
                                  .arg(header, value.trimmed(), errors.join(QLatin1String("; "))));
}

} // namespace ixo
