#pragma once

#include "automation/Export.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace ixo {

class ProfileJsonReader;

// One step of a profile's capture, restore or cleanup: a command sent, a query answered in
// text or as a block, the setup sent as a command's argument, a wait for the instrument, or a
// look at its errors. Commands may hold the variables ${file}, ${fileStem} and ${setup}.
struct IXO_EXPORT ProfileStep {
    enum class Kind { Send, QueryText, QueryBlock, SendSetup, Wait, ReadErrors };
    enum class WaitFor { OpcQuery, Wai, Delay, EsrPolling };

    static const QString kFile;
    static const QString kFileStem;
    static const QString kSetup;

    Kind kind = Kind::Send;
    // The command or query; for a wait, nothing.
    QString command;
    WaitFor waitFor = WaitFor::OpcQuery;
    // The pause of a delay, or between two *ESR? polls.
    int delayMs = 0;
    // The limit of this step's exchange; 0 for the profile's timeout.
    int timeoutMs = 0;

    static ProfileStep send(const QString &command) { return {Kind::Send, command}; }
    static ProfileStep wait(WaitFor waitFor, int delayMs = 0);

    bool usesFile() const;
    bool isQuery() const { return kind == Kind::QueryText || kind == Kind::QueryBlock; }
    // How the step is shown to people: "send MMEM:DEL '${file}'", "wait *OPC?".
    QString description() const;

    static QString kindName(Kind kind);
    static QString waitName(WaitFor waitFor);
    static QStringList waitNames();

    // Raises InvalidFileFormat naming the file and the step ("capture[2]").
    static ProfileStep fromJson(const ProfileJsonReader &reader, int maxMilliseconds);
    static QList<ProfileStep> listFromJson(const ProfileJsonReader &reader, const QString &field,
                                           int maxMilliseconds);
    QJsonObject toJson() const;
};

} // namespace ixo
