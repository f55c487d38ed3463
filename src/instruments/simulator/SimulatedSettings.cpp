#include "instruments/simulator/SimulatedSettings.h"

#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"
#include "support/Crc32.h"

#include <QtEndian>

namespace ixo {

namespace {

void appendBigEndian(QByteArray &to, quint32 value) {
    const quint32 bytes = qToBigEndian(value);
    to.append(reinterpret_cast<const char *>(&bytes), sizeof bytes);
}

[[noreturn]] void invalid(const char *why) {
    ScpiError::raise(-161, "Invalid block data", QLatin1String(why));
}

} // namespace

SimulatedSettings::SimulatedSettings(std::span<const Definition> definitions)
    : m_definitions(definitions) {
    reset();
}

void SimulatedSettings::reset() {
    m_values.clear();
    for (const Definition &definition : m_definitions)
        m_values.append(QString::fromLatin1(definition.initial));
    for (int i = 0; i < m_values.size(); ++i)
        m_values[i] = normalized(i, m_values[i]);
    setWaveform({});
}

int SimulatedSettings::find(const QString &header, int channel) const {
    for (size_t i = 0; i < m_definitions.size(); ++i)
        if (m_definitions[i].channel == channel &&
            ScpiCommand::matches(header, QString::fromLatin1(m_definitions[i].header)))
            return static_cast<int>(i);
    return -1;
}

bool SimulatedSettings::hasChannels() const {
    return std::any_of(m_definitions.begin(), m_definitions.end(),
                       [](const Definition &definition) { return definition.channel != 0; });
}

QString SimulatedSettings::key(int index) const {
    const Definition &definition = m_definitions[index];
    const QString header = ScpiCommand::shortForm(QString::fromLatin1(definition.header));
    return definition.channel ? QStringLiteral("%1 (@%2)").arg(header).arg(definition.channel)
                              : header;
}

void SimulatedSettings::set(int index, const QString &text) {
    m_values[index] = normalized(index, text);
}

QMap<QString, QString> SimulatedSettings::all() const {
    QMap<QString, QString> settings;
    for (int i = 0; i < m_values.size(); ++i)
        settings.insert(key(i), m_values[i]);
    return settings;
}

QByteArrayList SimulatedSettings::commands() const {
    QByteArrayList commands;
    for (int i = 0; i < m_values.size(); ++i) {
        QByteArray command = QByteArray(m_definitions[i].header) + ' ' + m_values[i].toUtf8();
        if (m_definitions[i].channel)
            command += ",(@" + QByteArray::number(m_definitions[i].channel) + ')';
        commands.append(command);
    }
    return commands;
}

void SimulatedSettings::setWaveform(QByteArray waveform) {
    m_waveformCrc = Crc32::of(waveform);
    m_waveform = std::move(waveform);
}

QString SimulatedSettings::normalized(int index, const QString &text) const {
    const Definition &definition = m_definitions[index];
    const QString value = text.trimmed().toUpper();
    const QString detail = QLatin1String(definition.header) + QLatin1Char(' ') + text.left(40);
    if (definition.choices) {
        const QString chosen = choice(index, value);
        if (chosen.isEmpty())
            ScpiError::raise(-224, "Illegal parameter value", detail);
        return chosen;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        ScpiError::raise(-104, "Data type error", detail);
    if (number < definition.min || number > definition.max)
        ScpiError::raise(-222, "Data out of range", detail);
    const QString written = QString::number(number, definition.format, definition.precision);
    return definition.plusSign && number >= 0 ? QLatin1Char('+') + written : written;
}

// The short form of the choice value names; ON and OFF stand for 1 and 0 and the other way round.
QString SimulatedSettings::choice(int index, const QString &value) const {
    static const QMap<QString, QString> synonyms{{QStringLiteral("ON"), QStringLiteral("1")},
                                                 {QStringLiteral("OFF"), QStringLiteral("0")},
                                                 {QStringLiteral("1"), QStringLiteral("ON")},
                                                 {QStringLiteral("0"), QStringLiteral("OFF")}};
    const QStringList choices =
        QString::fromLatin1(m_definitions[index].choices).split(QLatin1Char('|'));
    for (const QString &name : {value, synonyms.value(value)})
        for (const QString &choice : choices)
            if (!name.isEmpty() && ScpiCommand::matches(name, choice))
                return ScpiCommand::shortForm(choice).sliced(1);
    return {};
}

qsizetype SimulatedSettings::setupSize(QByteArrayView magic) const {
    qsizetype size = magic.size() + 4;
    for (const QString &value : m_values)
        size += 1 + std::min<qsizetype>(value.toUtf8().size(), 255);
    return m_waveform.isEmpty() ? size : size + 8 + m_waveform.size();
}

void SimulatedSettings::appendSetup(QByteArray &to, QByteArrayView magic) const {
    const qsizetype start = to.size();
    to.append(magic);
    for (const QString &value : m_values) {
        const QByteArray bytes = value.toUtf8().left(255);
        to.append(static_cast<char>(bytes.size()));
        to.append(bytes);
    }
    if (!m_waveform.isEmpty()) {
        appendBigEndian(to, static_cast<quint32>(m_waveform.size()));
        appendBigEndian(to, m_waveformCrc);
        to.append(m_waveform);
    }
    // The waveform bytes are left to their own checksum.
    appendBigEndian(
        to, Crc32::of(QByteArrayView(to).sliced(start, to.size() - start - m_waveform.size())));
}

void SimulatedSettings::restoreSetup(QByteArrayView setup, QByteArrayView magic) {
    if (setup.size() < magic.size() + 4 || !setup.startsWith(magic))
        invalid("not a setup of this instrument");
    const QByteArrayView body = setup.chopped(4);
    const quint32 crc = qFromBigEndian<quint32>(setup.constData() + body.size());
    QStringList values;
    qsizetype pos = magic.size();
    for (int i = 0; i < m_values.size(); ++i) {
        if (pos >= body.size())
            invalid("setup too short");
        const auto length = static_cast<unsigned char>(body[pos++]);
        if (length > body.size() - pos)
            invalid("setup too short");
        values.append(normalized(i, QString::fromUtf8(body.sliced(pos, length))));
        pos += length;
    }
    QByteArrayView covered = body;
    QByteArrayView waveform;
    quint32 waveformCrc = Crc32::of({});
    if (pos != body.size()) {
        if (body.size() - pos < 8)
            invalid("bytes after the setup");
        const auto length = qFromBigEndian<quint32>(body.constData() + pos);
        waveformCrc = qFromBigEndian<quint32>(body.constData() + pos + 4);
        pos += 8;
        if (length == 0 || length > kMaxWaveform || qsizetype(length) != body.size() - pos)
            invalid("waveform length does not match the setup");
        covered = body.first(pos);
        waveform = body.sliced(pos);
    }
    if (crc != Crc32::of(covered))
        invalid("checksum mismatch");
    if (waveformCrc != Crc32::of(waveform))
        invalid("waveform checksum mismatch");
    m_values = values;
    m_waveform = waveform.toByteArray();
    m_waveformCrc = waveformCrc;
}

} // namespace ixo
