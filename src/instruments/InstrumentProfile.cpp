#include "instruments/InstrumentProfile.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/sequences/ProfileJsonReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <algorithm>
#include <array>

namespace ixo {

namespace {

const QString kInstrumentProfileSource = QStringLiteral("IxoInstrSetups.InstrumentProfile");

struct CompletionName {
    InstrumentProfile::Completion completion;
    const char *name;
};

constexpr std::array<CompletionName, 4> kCompletions{{
    {InstrumentProfile::Completion::OpcQuery, "*OPC?"},
    {InstrumentProfile::Completion::Wait, "*WAI"},
    {InstrumentProfile::Completion::Delay, "delay"},
    {InstrumentProfile::Completion::EsrPolling, "*ESR?"},
}};

const QStringList kFields{"name",           "description",
                          "verified",       "manufacturer",
                          "model",          "captureQuery",
                          "answer",         "restoreCommand",
                          "completion",     "completionDelayMs",
                          "pollIntervalMs", "settleMs",
                          "timeoutMs",      "maxBlockSize",
                          "priorErrors",    "compoundMessages",
                          "capture",        "restore",
                          "cleanup",        "file",
                          "answerPrefix",   "lineFeedAfterBlock",
                          "settings",       "switchOutputsOn",
                          "registersOnly",  "errors",
                          "verifyRestore"};
// Fields of the one-query form, which the other forms replace.
const QStringList kOneQueryFields{"captureQuery", "answer", "restoreCommand"};

QRegularExpression patternOf(const QString &pattern) {
    return QRegularExpression(
        QRegularExpression::wildcardToRegularExpression(
            pattern.trimmed(), QRegularExpression::UnanchoredWildcardConversion)
            .prepend(QLatin1Char('^'))
            .append(QLatin1Char('$')),
        QRegularExpression::CaseInsensitiveOption);
}

int literalCharacters(const QString &pattern) {
    int literal = 0;
    bool inSet = false;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('['))
            inSet = true;
        else if (c == QLatin1Char(']'))
            inSet = false;
        else if (!inSet && c != QLatin1Char('*') && c != QLatin1Char('?'))
            ++literal;
    }
    return literal;
}

// The literal characters of the most particular pattern that matches name; -1 for none.
int bestMatch(const QStringList &patterns, const QString &name) {
    int best = -1;
    for (const QString &pattern : patterns)
        if (patternOf(pattern).match(name.trimmed()).hasMatch())
            best = std::max(best, literalCharacters(pattern));
    return best;
}

QStringList patterns(const ProfileJsonReader &read, const QString &field) {
    const QStringList values = read.texts(field, {QStringLiteral("*")});
    for (const QString &value : values) {
        if (value.isEmpty())
            read.fail(field, QStringLiteral("is empty (\"*\" matches every instrument)"));
        if (!patternOf(value).isValid())
            read.fail(field, QStringLiteral("\"%1\" is not a valid pattern").arg(value));
    }
    return values;
}

QJsonValue patternsJson(const QStringList &patterns) {
    return patterns.size() == 1 ? QJsonValue(patterns.front())
                                : QJsonValue(QJsonArray::fromStringList(patterns));
}

QJsonArray stepsJson(const QList<ProfileStep> &steps) {
    QJsonArray json;
    for (const ProfileStep &step : steps)
        json.append(step.toJson());
    return json;
}

void readOneQueryForm(const ProfileJsonReader &read, InstrumentProfile &profile) {
    profile.captureQuery = read.text(QStringLiteral("captureQuery"), profile.captureQuery);
    if (profile.captureQuery.isEmpty() || !profile.captureQuery.endsWith(QLatin1Char('?')) ||
        profile.captureQuery.contains(QLatin1Char('\n')))
        read.fail(QStringLiteral("captureQuery"),
                  QStringLiteral("must be one query ending in \"?\", not \"%1\"")
                      .arg(profile.captureQuery));
    profile.blockAnswer =
        read.choice(QStringLiteral("answer"), QStringLiteral("text"),
                    {QStringLiteral("text"), QStringLiteral("block")}) == QLatin1String("block");
    profile.restoreCommand = read.text(QStringLiteral("restoreCommand"), {});
    if (profile.restoreCommand.contains(QLatin1Char('\n')))
        read.fail(QStringLiteral("restoreCommand"), QStringLiteral("holds a line break"));
    if (profile.blockAnswer && profile.restoreCommand.isEmpty())
        read.fail(QStringLiteral("restoreCommand"),
                  QStringLiteral("is needed to send a block setup back (\"answer\": \"block\")"));
}

void readSteps(const ProfileJsonReader &read, InstrumentProfile &profile) {
    using Kind = ProfileStep::Kind;
    const int max = InstrumentProfile::kMaxMilliseconds;
    profile.capture = ProfileStep::listFromJson(read, QStringLiteral("capture"), max);
    profile.restore = ProfileStep::listFromJson(read, QStringLiteral("restore"), max);
    profile.cleanup = ProfileStep::listFromJson(read, QStringLiteral("cleanup"), max);
    if (profile.capture.isEmpty() != profile.restore.isEmpty())
        read.fail(profile.capture.isEmpty() ? QStringLiteral("capture") : QStringLiteral("restore"),
                  QStringLiteral("is missing: a profile of steps lists both capture and restore"));
    if (profile.capture.isEmpty() && !profile.cleanup.isEmpty())
        read.fail(QStringLiteral("cleanup"), QStringLiteral("belongs to a profile of steps"));
    const auto has = [](const QList<ProfileStep> &steps, auto test) {
        return std::any_of(steps.begin(), steps.end(), test);
    };
    if (!profile.capture.isEmpty() &&
        !has(profile.capture, [](const ProfileStep &step) { return step.isQuery(); }))
        read.fail(QStringLiteral("capture"),
                  QStringLiteral("has no queryText or queryBlock step to read the setup"));
    if (has(profile.capture, [](const ProfileStep &s) { return s.kind == Kind::SendSetup; }))
        read.fail(QStringLiteral("capture"), QStringLiteral("has a sendSetup step"));
    if (!profile.restore.isEmpty() &&
        !has(profile.restore, [](const ProfileStep &s) { return s.kind == Kind::SendSetup; }))
        read.fail(QStringLiteral("restore"), QStringLiteral("has no sendSetup step"));
    if (has(profile.cleanup, [](const ProfileStep &s) { return s.kind == Kind::SendSetup; }))
        read.fail(QStringLiteral("cleanup"), QStringLiteral("has a sendSetup step"));
    const bool usesFile = has(profile.capture + profile.restore + profile.cleanup,
                              [](const ProfileStep &step) { return step.usesFile(); });
    if (usesFile && !read.has(QStringLiteral("file")))
        read.fail(QStringLiteral("file"), QStringLiteral("is missing: steps use ${file}"));
    profile.file = TemporaryFileRule::fromJson(read.member(QStringLiteral("file")));
}

} // namespace

InstrumentProfile::Method InstrumentProfile::method() const {
    if (registersOnly)
        return Method::RegistersOnly;
    return settings.isEmpty() ? Method::Steps : Method::Settings;
}

QList<ProfileStep> InstrumentProfile::captureSteps() const {
    if (!capture.isEmpty())
        return capture;
    ProfileStep query;
    query.kind = blockAnswer ? ProfileStep::Kind::QueryBlock : ProfileStep::Kind::QueryText;
    query.command = captureQuery;
    return {query};
}

QList<ProfileStep> InstrumentProfile::restoreSteps(bool textSetup) const {
    if (!restore.isEmpty())
        return restore;
    ProfileStep send;
    send.kind = ProfileStep::Kind::SendSetup;
    // A text setup is made of commands and goes back as it is; bytes need a command.
    send.command = ProfileStep::kSetup;
    if (!textSetup && !restoreCommand.isEmpty())
        send.command.prepend(restoreCommand + QLatin1Char(' '));
    const auto waitFor = ProfileStep::WaitFor(int(completion));
    return {send, ProfileStep::wait(waitFor, completion == Completion::Delay ? completionDelayMs
                                                                             : pollIntervalMs)};
}

bool InstrumentProfile::capturesText() const {
    if (method() != Method::Steps)
        return true;
    const QList<ProfileStep> steps = captureSteps();
    const auto last = std::find_if(steps.rbegin(), steps.rend(),
                                   [](const ProfileStep &step) { return step.isQuery(); });
    return last == steps.rend() || last->kind == ProfileStep::Kind::QueryText;
}
bool InstrumentProfile::matches(const QString &manufacturerName, const QString &modelName) const {
    return specificity(manufacturerName, modelName) >= 0;
}

int InstrumentProfile::specificity(const QString &manufacturerName,
                                   const QString &modelName) const {
    const int manufacturer = bestMatch(manufacturers, manufacturerName);
    const int model = bestMatch(models, modelName);
    return manufacturer < 0 || model < 0 ? -1 : manufacturer + model;
}

QString InstrumentProfile::completionName(Completion completion) {
    for (const CompletionName &entry : kCompletions)
        if (entry.completion == completion)
            return QString::fromLatin1(entry.name);
    return {};
}

InstrumentProfile InstrumentProfile::fromJson(const QByteArray &json, const QString &source) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw AutomationError(ErrorNumber::InvalidFileFormat, kInstrumentProfileSource,
                              QStringLiteral("%1: not JSON: %2 at byte %3")
                                  .arg(source, error.errorString())
                                  .arg(error.offset));
    if (!document.isObject())
        throw AutomationError(ErrorNumber::InvalidFileFormat, kInstrumentProfileSource,
                              QStringLiteral("%1: not a JSON object").arg(source));
    return fromJson(document.object(), source);
}

namespace {

void readMethod(const ProfileJsonReader &read, InstrumentProfile &profile) {
    const bool steps = read.has(QStringLiteral("capture")) || read.has(QStringLiteral("restore"));
    profile.settings = ProfileSetting::listFromJson(read, QStringLiteral("settings"));
    profile.registersOnly = read.flag(QStringLiteral("registersOnly"), false);
    const bool settings = !profile.settings.isEmpty();
    const int forms = int(steps) + int(settings) + int(profile.registersOnly);
    for (const QString &field : kOneQueryFields)
        if (forms > 0 && read.has(field))
            read.fail(field, QStringLiteral("belongs to the one-query form, not to a profile "
                                            "of steps, settings or registers"));
    if (forms > 1)
        read.fail(settings ? QStringLiteral("settings") : QStringLiteral("registersOnly"),
                  QStringLiteral("a profile has steps, settings or registers only: one of them"));
    if (forms == 0)
        readOneQueryForm(read, profile);
    readSteps(read, profile);
    profile.switchOutputsOn = read.flag(QStringLiteral("switchOutputsOn"), true);
}

} // namespace

InstrumentProfile InstrumentProfile::fromJson(const QJsonObject &object, const QString &source) {
    const ProfileJsonReader read(object, source);
    read.onlyFields(kFields);
    InstrumentProfile profile;
    profile.source = source;
    profile.name = read.text(QStringLiteral("name"), {}, true);
    if (profile.name.isEmpty())
        read.fail(QStringLiteral("name"), QStringLiteral("is empty"));
    profile.description = read.text(QStringLiteral("description"), {});
    profile.verified = read.flag(QStringLiteral("verified"), true);
    profile.manufacturers = patterns(read, QStringLiteral("manufacturer"));
    profile.models = patterns(read, QStringLiteral("model"));
    readMethod(read, profile);
    profile.answerPrefix = read.text(QStringLiteral("answerPrefix"), {});
    profile.lineFeedAfterBlock = read.flag(QStringLiteral("lineFeedAfterBlock"), true);
    profile.errors = ErrorReporting::fromJson(read.member(QStringLiteral("errors")));
    profile.verifyRestore = read.flag(QStringLiteral("verifyRestore"), false);

    QStringList completions;
    for (const CompletionName &entry : kCompletions)
        completions.append(QString::fromLatin1(entry.name));
    const QString completion =
        read.choice(QStringLiteral("completion"), completions.first(), completions);
    profile.completion = kCompletions[size_t(completions.indexOf(completion))].completion;
    profile.completionDelayMs =
        int(read.number(QStringLiteral("completionDelayMs"), 0,
                        profile.completion == Completion::Delay ? 1 : 0, kMaxMilliseconds));
    if (profile.completion == Completion::Delay && !object.contains(u"completionDelayMs"))
        read.fail(QStringLiteral("completionDelayMs"),
                  QStringLiteral("is missing (the wait of \"completion\": \"delay\")"));
    profile.pollIntervalMs =
        int(read.number(QStringLiteral("pollIntervalMs"), kDefaultPollIntervalMs, 1, 10000));
    profile.settleMs = int(read.number(QStringLiteral("settleMs"), 0, 0, kMaxMilliseconds));
    profile.timeoutMs =
        int(read.number(QStringLiteral("timeoutMs"), kDefaultTimeoutMs, 1, kMaxMilliseconds));
    profile.maxBlockSize =
        read.number(QStringLiteral("maxBlockSize"), kDefaultMaxBlockSize, 1, kMaxBlockSizeLimit);
    profile.keepPriorErrors =
        read.choice(QStringLiteral("priorErrors"), QStringLiteral("keep"),
                    {QStringLiteral("keep"), QStringLiteral("clear")}) == QLatin1String("keep");
    profile.compoundMessages = read.flag(QStringLiteral("compoundMessages"), false);
    return profile;
}

QJsonObject InstrumentProfile::toJson() const {
    QJsonObject json{
        {QStringLiteral("name"), name},
        {QStringLiteral("description"), description},
        {QStringLiteral("verified"), verified},
        {QStringLiteral("manufacturer"), patternsJson(manufacturers)},
        {QStringLiteral("model"), patternsJson(models)},
        {QStringLiteral("completion"), completionName(completion)},
        {QStringLiteral("settleMs"), settleMs},
        {QStringLiteral("timeoutMs"), timeoutMs},
        {QStringLiteral("maxBlockSize"), double(maxBlockSize)},
        {QStringLiteral("priorErrors"),
         keepPriorErrors ? QStringLiteral("keep") : QStringLiteral("clear")},
        {QStringLiteral("compoundMessages"), compoundMessages},
        {QStringLiteral("errors"), errors.toJson()},
        {QStringLiteral("verifyRestore"), verifyRestore},
    };
    switch (method()) {
    case Method::RegistersOnly:
        json.insert(QStringLiteral("registersOnly"), true);
        break;
    case Method::Settings: {
        QJsonArray list;
        for (const ProfileSetting &setting : settings)
            list.append(setting.toJson());
        json.insert(QStringLiteral("settings"), list);
        json.insert(QStringLiteral("switchOutputsOn"), switchOutputsOn);
        break;
    }
    case Method::Steps:
        if (capture.isEmpty()) {
            json.insert(QStringLiteral("captureQuery"), captureQuery);
            json.insert(QStringLiteral("answer"),
                        blockAnswer ? QStringLiteral("block") : QStringLiteral("text"));
            json.insert(QStringLiteral("restoreCommand"), restoreCommand);
        } else {
            json.insert(QStringLiteral("capture"), stepsJson(capture));
            json.insert(QStringLiteral("restore"), stepsJson(restore));
            json.insert(QStringLiteral("cleanup"), stepsJson(cleanup));
            json.insert(QStringLiteral("file"), file.toJson());
            json.insert(QStringLiteral("answerPrefix"), answerPrefix);
            json.insert(QStringLiteral("lineFeedAfterBlock"), lineFeedAfterBlock);
        }
        break;
    }
    if (completion == Completion::Delay)
        json.insert(QStringLiteral("completionDelayMs"), completionDelayMs);
    if (completion == Completion::EsrPolling)
        json.insert(QStringLiteral("pollIntervalMs"), pollIntervalMs);
    return json;
}

} // namespace ixo
