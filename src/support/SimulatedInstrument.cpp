#include "support/SimulatedInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "support/LegacySetupFile.h"

#include <QRegularExpression>
#include <QStringList>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.SimulatedInstrument");
constexpr int kMaxSettings = 4096;

const QMap<QString, QString> &defaultSettings() {
    static const QMap<QString, QString> settings{
        {QStringLiteral(":FREQ"), QStringLiteral("1.000000E+09")},
        {QStringLiteral(":POW"), QStringLiteral("-10.00")},
        {QStringLiteral(":OUTP"), QStringLiteral("OFF")},
        {QStringLiteral(":AM:STAT"), QStringLiteral("OFF")},
        {QStringLiteral(":AM:DEPT"), QStringLiteral("30.0")},
    };
    return settings;
}

[[noreturn]] void refuse(const QString &why) {
    throw AutomationError(ErrorNumber::Fail, kSource, why);
}

} // namespace

const QString SimulatedInstrument::kDefaultModel = QStringLiteral("IXO SG-100");
const QString SimulatedInstrument::kDefaultVersion = QStringLiteral("2.1.0");

SimulatedInstrument::SimulatedInstrument(QString model, QString version)
    : m_model(std::move(model))
    , m_version(std::move(version))
    , m_settings(defaultSettings()) {}

void SimulatedInstrument::checkFault() {
    if (m_pendingFault.isEmpty())
        return;
    const QString description = std::exchange(m_pendingFault, QString());
    refuse(description);
}

QString SimulatedInstrument::Model() {
    checkFault();
    return m_model;
}

QString SimulatedInstrument::Version() {
    checkFault();
    return m_version;
}

QVariant SimulatedInstrument::CaptureState() {
    checkFault();
    QStringList lines;
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
        lines.append(it.key() + QLatin1Char(' ') + it.value());
    return lines.join(QLatin1Char('\n')).toUtf8();
}

void SimulatedInstrument::RestoreState(const QVariant &state) {
    checkFault();
    if (variantTypeOf(state) != VariantType::ByteArray &&
        variantTypeOf(state) != VariantType::String)
        refuse(QStringLiteral("-102,\"Syntax error; the setup is not SCPI text\""));
    apply(state.toByteArray());
}

void SimulatedInstrument::apply(const QByteArray &commands) {
    // Validate everything first so a bad setup leaves the instrument as it was.
    const QMap<QString, QString> before = m_settings;
    try {
        static const QRegularExpression separators(QStringLiteral("[\\n;]"));
        for (const QString &command : QString::fromUtf8(commands).split(separators))
            applyCommand(command.trimmed());
    } catch (...) {
        m_settings = before;
        throw;
    }
}

void SimulatedInstrument::applyCommand(const QString &command) {
    if (command.isEmpty())
        return;
    static const QRegularExpression form(QStringLiteral("^(:?[A-Za-z*][A-Za-z0-9:]*)\\s+(\\S.*)$"));
    const QRegularExpressionMatch match = form.match(command);
    if (!match.hasMatch())
        refuse(QStringLiteral("-102,\"Syntax error; %1\"").arg(command));
    QString header = match.captured(1).toUpper();
    if (!header.startsWith(QLatin1Char(':')))
        header.prepend(QLatin1Char(':'));
    if (!m_settings.contains(header) && m_settings.size() >= kMaxSettings)
        refuse(QStringLiteral("-225,\"Out of memory\""));
    m_settings.insert(header, match.captured(2).trimmed());
}

QString SimulatedInstrument::setting(const QString &header) const {
    return m_settings.value(header.toUpper());
}

ObjectRef SimulatedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    checkFault();
    const LegacySetupFile file = LegacySetupFile::read(fileName);
    ObjectRef object = ClassRegistry::instance().create(progId);
    object->setProperty("Name", file.name);
    object->setProperty("Description", file.description);
    object->setProperty("data", file.commands);
    object->setProperty("Model", file.model);
    object->setProperty("Version", file.version);
    return object;
}

} // namespace ixo
