#include "instruments/sequences/ProfileStep.h"

#include "instruments/sequences/ProfileJsonReader.h"

#include <QRegularExpression>
#include <array>

namespace ixo {

namespace {

struct KindName {
    ProfileStep::Kind kind;
    const char *name;
};

constexpr std::array<KindName, 6> kKinds{{
    {ProfileStep::Kind::Send, "send"},
    {ProfileStep::Kind::QueryText, "queryText"},
    {ProfileStep::Kind::QueryBlock, "queryBlock"},
    {ProfileStep::Kind::SendSetup, "sendSetup"},
    {ProfileStep::Kind::Wait, "wait"},
    {ProfileStep::Kind::ReadErrors, "readErrors"},
}};

struct WaitName {
    ProfileStep::WaitFor waitFor;
    const char *name;
};

constexpr std::array<WaitName, 4> kWaits{{
    {ProfileStep::WaitFor::OpcQuery, "*OPC?"},
    {ProfileStep::WaitFor::Wai, "*WAI"},
    {ProfileStep::WaitFor::Delay, "delay"},
    {ProfileStep::WaitFor::EsrPolling, "*ESR?"},
}};

const QStringList kOptions{QStringLiteral("timeoutMs"), QStringLiteral("delayMs")};

// Every ${...} in a command must be one the steps can fill in.
void checkVariables(const ProfileJsonReader &reader, const QString &field, const QString &command,
                    bool setupAllowed) {
    // A name holds no "$" or "}": "${se ${setup}" is an unclosed "${", not one odd name.
    static const QRegularExpression variable(QStringLiteral("\\$\\{([^}$]*)\\}"));
    for (const QRegularExpressionMatch &match : variable.globalMatch(command)) {
        const QString name = QStringLiteral("${%1}").arg(match.captured(1));
        if (name == ProfileStep::kFile || name == ProfileStep::kFileStem)
            continue;
        if (name == ProfileStep::kSetup && setupAllowed)
            continue;
        reader.fail(field, name == ProfileStep::kSetup
                               ? QStringLiteral("${setup} is filled in only by a sendSetup step")
                               : QStringLiteral("%1 is not a variable (known: ${file}, "
                                                "${fileStem}, ${setup})")
                                     .arg(name));
    }
    if (QString(command).remove(variable).contains(QLatin1String("${")))
        reader.fail(field, QStringLiteral("holds an unclosed \"${\""));
}

} // namespace

const QString ProfileStep::kFile = QStringLiteral("${file}");
const QString ProfileStep::kFileStem = QStringLiteral("${fileStem}");
const QString ProfileStep::kSetup = QStringLiteral("${setup}");

ProfileStep ProfileStep::wait(WaitFor waitFor, int delayMs) {
    ProfileStep step;
    step.kind = Kind::Wait;
    step.waitFor = waitFor;
    step.delayMs = delayMs;
    return step;
}

bool ProfileStep::usesFile() const {
    return command.contains(kFile) || command.contains(kFileStem);
}

QString ProfileStep::kindName(Kind kind) {
    for (const KindName &entry : kKinds)
        if (entry.kind == kind)
            return QString::fromLatin1(entry.name);
    return {};
}

QString ProfileStep::waitName(WaitFor waitFor) {
    for (const WaitName &entry : kWaits)
        if (entry.waitFor == waitFor)
            return QString::fromLatin1(entry.name);
    return {};
}

QStringList ProfileStep::waitNames() {
    QStringList names;
    for (const WaitName &entry : kWaits)
        names.append(QString::fromLatin1(entry.name));
    return names;
}

QString ProfileStep::description() const {
    switch (kind) {
    case Kind::Wait:
        return waitFor == WaitFor::Delay ? QStringLiteral("wait %1 ms").arg(delayMs)
                                         : QStringLiteral("wait ") + waitName(waitFor);
    case Kind::ReadErrors:
        return QStringLiteral("read errors");
    case Kind::Send:
        return QStringLiteral("send ") + command;
    case Kind::QueryText:
        return QStringLiteral("query ") + command;
    case Kind::QueryBlock:
        return QStringLiteral("query block ") + command;
    case Kind::SendSetup:
        return QStringLiteral("send setup ") + command;
    }
    return {};
}

ProfileStep ProfileStep::fromJson(const ProfileJsonReader &reader, int maxMilliseconds) {
    QStringList present;
    for (const KindName &entry : kKinds)
        if (reader.has(QString::fromLatin1(entry.name)))
            present.append(QString::fromLatin1(entry.name));
    QStringList known;
    for (const KindName &entry : kKinds)
        known.append(QString::fromLatin1(entry.name));
    if (present.size() != 1)
        reader.fail(QStringLiteral("(step)"),
                    QStringLiteral("a step has exactly one of %1, not %2")
                        .arg(known.join(QLatin1String(", ")),
                             present.isEmpty() ? QStringLiteral("none")
                                               : present.join(QLatin1String(" and "))));
    reader.onlyFields(known + kOptions);
    const QString field = present.front();
    ProfileStep step;
    step.kind = kKinds[size_t(known.indexOf(field))].kind;
    step.timeoutMs = int(reader.number(QStringLiteral("timeoutMs"), 0, 1, maxMilliseconds));
    if (step.kind == Kind::Wait) {
        const QString name = reader.choice(field, {}, waitNames());
        step.waitFor = kWaits[size_t(waitNames().indexOf(name))].waitFor;
        const bool needsDelay = step.waitFor == WaitFor::Delay;
        if (needsDelay && !reader.has(QStringLiteral("delayMs")))
            reader.fail(QStringLiteral("delayMs"), QStringLiteral("is missing (the wait of "
                                                                  "\"delay\")"));
        step.delayMs = int(reader.number(QStringLiteral("delayMs"),
                                         step.waitFor == WaitFor::EsrPolling ? 20 : 0,
                                         needsDelay ? 1 : 0, maxMilliseconds));
        return step;
    }
    if (reader.has(QStringLiteral("delayMs")))
        reader.fail(QStringLiteral("delayMs"), QStringLiteral("belongs to a wait step only"));
    if (step.kind == Kind::ReadErrors) {
        if (!reader.flag(field, true))
            reader.fail(field, QStringLiteral("is true or left out of the list"));
        return step;
    }
    step.command = reader.text(field, {}, true);
    if (step.command.isEmpty() && step.kind != Kind::SendSetup)
        reader.fail(field, QStringLiteral("is empty"));
    if (step.command.contains(QLatin1Char('\n')))
        reader.fail(field, QStringLiteral("holds a line break"));
    if (step.isQuery() && !step.command.contains(QLatin1Char('?')))
        reader.fail(field, QStringLiteral("\"%1\" is not a query (no \"?\")").arg(step.command));
    checkVariables(reader, field, step.command, step.kind == Kind::SendSetup);
    if (step.kind == Kind::SendSetup && !step.command.contains(kSetup))
        step.command = step.command.isEmpty() ? kSetup : step.command + QLatin1Char(' ') + kSetup;
    return step;
}

QList<ProfileStep> ProfileStep::listFromJson(const ProfileJsonReader &reader, const QString &field,
                                             int maxMilliseconds) {
    QList<ProfileStep> steps;
    const qsizetype count = reader.list(field).size();
    for (qsizetype i = 0; i < count; ++i)
        steps.append(fromJson(reader.element(field, i), maxMilliseconds));
    return steps;
}

QJsonObject ProfileStep::toJson() const {
    QJsonObject json;
    if (kind == Kind::Wait) {
        json.insert(QStringLiteral("wait"), waitName(waitFor));
        if (waitFor == WaitFor::Delay || waitFor == WaitFor::EsrPolling)
            json.insert(QStringLiteral("delayMs"), delayMs);
    } else if (kind == Kind::ReadErrors) {
        json.insert(QStringLiteral("readErrors"), true);
    } else {
        json.insert(kindName(kind), command);
    }
    if (timeoutMs > 0)
        json.insert(QStringLiteral("timeoutMs"), timeoutMs);
    return json;
}

} // namespace ixo
