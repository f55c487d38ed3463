#pragma once

#include <QJsonObject>
#include <QString>

namespace ixo {

// How one family of instruments has its setup read and written: which instruments it is for
// (patterns matched against *IDN?'s manufacturer and model), the capture query and its answer,
// the restore command for blocks, how completion of a restore is awaited, and the limits of an
// exchange. Read from and written as a JSON object (docs/profiles.md).
struct InstrumentProfile {
    enum class Completion { OpcQuery, Wait, Delay, EsrPolling };

    static constexpr int kDefaultTimeoutMs = 5000;
    static constexpr qsizetype kDefaultMaxBlockSize = qsizetype(64) * 1024 * 1024;
    static constexpr int kDefaultPollIntervalMs = 20;
    // Bounds on what a file may ask for, so that a typo cannot make a program wait for days.
    static constexpr int kMaxMilliseconds = 10 * 60 * 1000;
    static constexpr qsizetype kMaxBlockSizeLimit = qsizetype(1) << 31;

    QString name;
    QString description;
    // Wildcard patterns ("*", "?", "[...]"), compared without regard to letter case.
    QString manufacturer = QStringLiteral("*");
    QString model = QStringLiteral("*");
    QString captureQuery = QStringLiteral("*LRN?");
    bool blockAnswer = false;
    // "<command> <block>" restores a byte setup; a text setup is sent back as it was read.
    QString restoreCommand;
    Completion completion = Completion::OpcQuery;
    // The wait of Completion::Delay, and the pause between two *ESR? of EsrPolling.
    int completionDelayMs = 0;
    int pollIntervalMs = kDefaultPollIntervalMs;
    int settleMs = 0;
    int timeoutMs = kDefaultTimeoutMs;
    qsizetype maxBlockSize = kDefaultMaxBlockSize;
    // Errors queued before a capture or restore are read and reported rather than cleared.
    bool keepPriorErrors = true;
    // "...;*OPC?" in one message rather than a message of its own. Off unless asked for: after a
    // command error an instrument may drop the rest of the message, and with it the *OPC?.
    bool compoundMessages = false;
    // False for profiles written from documentation but never run against the instrument.
    bool verified = true;
    // The file it was read from; empty for one made in code.
    QString source;

    bool matches(const QString &manufacturerName, const QString &modelName) const;
    // Literal characters of both patterns: the more, the more particular the profile.
    int specificity() const;

    // Raises AutomationError InvalidFileFormat naming source, the field and what is wrong.
    static InstrumentProfile fromJson(const QByteArray &json, const QString &source);
    static InstrumentProfile fromJson(const QJsonObject &object, const QString &source);
    QJsonObject toJson() const;

    static QString completionName(Completion completion);
};

} // namespace ixo
