#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <span>

namespace ixo {

// A simulated instrument's settings: their values kept in a normal form, the learn string's
// commands, the binary setup format and an arbitrary-waveform memory that only that format holds.
class IXO_EXPORT SimulatedSettings {
public:
    struct Definition {
        // A mnemonic pattern, e.g. ":FREQ" or "SOURce:VOLTage".
        const char *header;
        const char *initial;
        // Numbers lie in [min, max] and are written with format and precision; otherwise the
        // value is one of the "|"-separated choices (mnemonic patterns, kept in short form).
        const char *choices;
        double min;
        double max;
        char format;
        int precision;
        // The output "(@n)" selects; 0 for none.
        int channel = 0;
        bool plusSign = false;
    };

    static constexpr qsizetype kMaxWaveform = qsizetype(4) * 1024 * 1024;

    explicit SimulatedSettings(std::span<const Definition> definitions);

    void reset();
    // The setting a header (without "?") and channel name; -1 for none.
    int find(const QString &header, int channel) const;
    bool hasChannels() const;
    // "<short header>" or "<short header> (@n)", as settings() keys them.
    QString key(int index) const;
    QString value(int index) const { return m_values[index]; }
    // Raises the instrument's errors for a value out of range or of the wrong type.
    void set(int index, const QString &text);
    QMap<QString, QString> all() const;
    // A command setting each value, as a learn string lists them.
    QByteArrayList commands() const;

    QByteArray waveform() const { return m_waveform; }
    void setWaveform(QByteArray waveform);

    // The setup format: magic, each value as a length byte and its text, then, when there is a
    // waveform, its length and CRC-32 (32 bits each, big-endian) and its bytes, then a CRC-32
    // of all but the waveform bytes.
    qsizetype setupSize(QByteArrayView magic) const;
    void appendSetup(QByteArray &to, QByteArrayView magic) const;
    // All or nothing; raises "Invalid block data" for bytes that are no setup of these settings.
    void restoreSetup(QByteArrayView setup, QByteArrayView magic);

private:
    QString normalized(int index, const QString &text) const;
    QString choice(int index, const QString &value) const;

    std::span<const Definition> m_definitions;
    QStringList m_values;
    QByteArray m_waveform;
    // Its checksum, kept so that a capture need not read the whole memory again.
    quint32 m_waveformCrc = 0;
};

} // namespace ixo
