#pragma once

#include "automation/Export.h"
#include "instruments/sequences/ErrorReporting.h"
#include "instruments/sequences/ProfileSetting.h"
#include "instruments/sequences/ProfileStep.h"
#include "instruments/sequences/TemporaryFileRule.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ixo {

// How one family of instruments has its setup read and written: which instruments it is for
// (patterns matched against *IDN?'s manufacturer and model), how a capture reads the setup and
// a restore writes it back (one query and one command, or ordered steps with cleanup steps that
// always run, or a list of settings read and set one by one), how the instrument reports its
// errors, and the limits of an exchange. Read from and written as a JSON object
// (docs/profiles.md).
struct IXO_EXPORT InstrumentProfile {
    enum class Completion { OpcQuery, Wait, Delay, EsrPolling };
    enum class Method { Steps, Settings, RegistersOnly };

    static constexpr int kDefaultTimeoutMs = 5000;
    static constexpr qsizetype kDefaultMaxBlockSize = qsizetype(64) * 1024 * 1024;
    static constexpr int kDefaultPollIntervalMs = 20;
    // Bounds on what a file may ask for, so that a typo cannot make a program wait for days.
    static constexpr int kMaxMilliseconds = 10 * 60 * 1000;
    static constexpr qsizetype kMaxBlockSizeLimit = qsizetype(1) << 31;

    QString name;
    QString description;
    // Wildcard patterns ("*", "?", "[...]"), compared without regard to letter case; any of
    // them may match, as instruments of one family report present and former vendor names.
    QStringList manufacturers{QStringLiteral("*")};
    QStringList models{QStringLiteral("*")};

    // The one-query form, used when capture lists no steps.
    QString captureQuery = QStringLiteral("*LRN?");
    bool blockAnswer = false;
    // "<command> <block>" restores a byte setup; a text setup is sent back as it was read.
    QString restoreCommand;
    Completion completion = Completion::OpcQuery;
    // The wait of Completion::Delay, and the pause between two *ESR? of EsrPolling.
    int completionDelayMs = 0;
    int pollIntervalMs = kDefaultPollIntervalMs;

    // The steps form: the setup is the answer of the capture's last query.
    QList<ProfileStep> capture;
    QList<ProfileStep> restore;
    // Run after a capture or restore, also after one that failed: deleting the file.
    QList<ProfileStep> cleanup;
    TemporaryFileRule file;
    // Taken off the front of a setup answer: "PNSU " before a block.
    QString answerPrefix;
    bool lineFeedAfterBlock = true;

    // The settings form, for instruments without a setup query.
    QList<ProfileSetting> settings;
    // False: a restore never switches an output on; it stays as it is, with a warning.
    bool switchOutputsOn = true;
    // Instruments that keep setups only in *SAV/*RCL registers: refused with a pointer to the
    // settings form.
    bool registersOnly = false;

    ErrorReporting errors;
    // Captures again after a restore and warns of settings that did not take.
    bool verifyRestore = false;
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

    Method method() const;
    // The steps that run: those listed, or the one-query form's as steps.
    QList<ProfileStep> captureSteps() const;
    // The one-query form sends a text setup back as it is, bytes after restoreCommand.
    QList<ProfileStep> restoreSteps(bool textSetup) const;
    bool capturesText() const;

    bool matches(const QString &manufacturerName, const QString &modelName) const;
    // Literal characters of the patterns that match: the more, the more particular the
    // profile for that instrument; -1 when it does not match.
    int specificity(const QString &manufacturerName, const QString &modelName) const;

    // Raises AutomationError InvalidFileFormat naming source, the field and what is wrong.
    static InstrumentProfile fromJson(const QByteArray &json, const QString &source);
    static InstrumentProfile fromJson(const QJsonObject &object, const QString &source);
    QJsonObject toJson() const;

    static QString completionName(Completion completion);
};

} // namespace ixo
