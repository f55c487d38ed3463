#include "instruments/InstrumentProfile.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <array>
#include <cmath>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.InstrumentProfile");

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

const QStringList kFields{"name",       "description",       "verified",       "manufacturer",
                          "model",      "captureQuery",      "answer",         "restoreCommand",
                          "completion", "completionDelayMs", "pollIntervalMs", "settleMs",
                          "timeoutMs",  "maxBlockSize",      "priorErrors",    "compoundMessages"};

QRegularExpression patternOf(const QString &pattern) {
    return QRegularExpression(
        QRegularExpression::wildcardToRegularExpression(
            pattern.trimmed(), QRegularExpression::UnanchoredWildcardConversion)
            .prepend(QLatin1Char('^'))
            .append(QLatin1Char('$')),
        QRegularExpression::CaseInsensitiveOption);
}

// Reads one object's fields, each failure naming the file and the field.
class Reader {
public:
    Reader(const QJsonObject &object, const QString &source)
        : m_object(object)
        , m_source(source) {}

    [[noreturn]] void fail(const QString &field, const QString &what) const {
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("%1: field \"%2\": %3").arg(m_source, field, what));
    }

    QString text(const QString &field, const QString &fallback, bool required = false) const {
        const QJsonValue value = m_object.value(field);
        if (value.isUndefined()) {
            if (required)
                fail(field, QStringLiteral("is missing"));
            return fallback;
        }
        if (!value.isString())
            fail(field, QStringLiteral("must be a string, not %1").arg(shown(value)));
        return value.toString().trimmed();
    }

    bool flag(const QString &field, bool fallback) const {
        const QJsonValue value = m_object.value(field);
        if (value.isUndefined())
            return fallback;
        if (!value.isBool())
            fail(field, QStringLiteral("must be true or false, not %1").arg(shown(value)));
        return value.toBool();
    }

    qint64 number(const QString &field, qint64 fallback, qint64 min, qint64 max) const {
        const QJsonValue value = m_object.value(field);
        if (value.isUndefined())
            return fallback;
        const double number = value.toDouble();
        if (!value.isDouble() || number != std::floor(number) || number < double(min) ||
            number > double(max))
            fail(field, QStringLiteral("must be a whole number from %1 to %2, not %3")
                            .arg(min)
                            .arg(max)
                            .arg(shown(value)));
        return static_cast<qint64>(number);
    }

    QString choice(const QString &field, const QString &fallback,
                   const QStringList &choices) const {
        const QString value = text(field, fallback);
        for (const QString &choice : choices)
            if (value.compare(choice, Qt::CaseInsensitive) == 0)
                return choice;
        fail(field, QStringLiteral("must be one of %1, not \"%2\"")
                        .arg(choices.join(QLatin1String(", ")), value));
    }

    QString pattern(const QString &field) const {
        const QString value = text(field, QStringLiteral("*"));
        if (value.isEmpty())
            fail(field, QStringLiteral("is empty (\"*\" matches every instrument)"));
        if (!patternOf(value).isValid())
            fail(field, QStringLiteral("\"%1\" is not a valid pattern").arg(value));
        return value;
    }

    static QString shown(const QJsonValue &value) {
        if (value.isString())
            return QLatin1Char('"') + value.toString().left(40) + QLatin1Char('"');
        if (value.isDouble())
            return QString::number(value.toDouble(), 'g', 17);
        if (value.isBool())
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        if (value.isNull())
            return QStringLiteral("null");
        return value.isArray() ? QStringLiteral("a list") : QStringLiteral("an object");
    }

private:
    const QJsonObject &m_object;
    const QString &m_source;
};

} // namespace

bool InstrumentProfile::matches(const QString &manufacturerName, const QString &modelName) const {
    return patternOf(manufacturer).match(manufacturerName.trimmed()).hasMatch() &&
           patternOf(model).match(modelName.trimmed()).hasMatch();
}

int InstrumentProfile::specificity() const {
    int literal = 0;
    for (const QString &pattern : {manufacturer, model}) {
        bool inSet = false;
        for (const QChar c : pattern) {
            if (c == QLatin1Char('['))
                inSet = true;
            else if (c == QLatin1Char(']'))
                inSet = false;
            else if (!inSet && c != QLatin1Char('*') && c != QLatin1Char('?'))
                ++literal;
        }
    }
    return literal;
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
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("%1: not JSON: %2 at byte %3")
                                  .arg(source, error.errorString())
                                  .arg(error.offset));
    if (!document.isObject())
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("%1: not a JSON object").arg(source));
    return fromJson(document.object(), source);
}

InstrumentProfile InstrumentProfile::fromJson(const QJsonObject &object, const QString &source) {
    const Reader read(object, source);
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!kFields.contains(it.key()))
            read.fail(it.key(), QStringLiteral("is not a profile field (known: %1)")
                                    .arg(kFields.join(QLatin1String(", "))));
    InstrumentProfile profile;
    profile.source = source;
    profile.name = read.text(QStringLiteral("name"), {}, true);
    if (profile.name.isEmpty())
        read.fail(QStringLiteral("name"), QStringLiteral("is empty"));
    profile.description = read.text(QStringLiteral("description"), {});
    profile.verified = read.flag(QStringLiteral("verified"), true);
    profile.manufacturer = read.pattern(QStringLiteral("manufacturer"));
    profile.model = read.pattern(QStringLiteral("model"));
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
        {QStringLiteral("manufacturer"), manufacturer},
        {QStringLiteral("model"), model},
        {QStringLiteral("captureQuery"), captureQuery},
        {QStringLiteral("answer"), blockAnswer ? QStringLiteral("block") : QStringLiteral("text")},
        {QStringLiteral("restoreCommand"), restoreCommand},
        {QStringLiteral("completion"), completionName(completion)},
        {QStringLiteral("settleMs"), settleMs},
        {QStringLiteral("timeoutMs"), timeoutMs},
        {QStringLiteral("maxBlockSize"), double(maxBlockSize)},
        {QStringLiteral("priorErrors"),
         keepPriorErrors ? QStringLiteral("keep") : QStringLiteral("clear")},
        {QStringLiteral("compoundMessages"), compoundMessages},
    };
    if (completion == Completion::Delay)
        json.insert(QStringLiteral("completionDelayMs"), completionDelayMs);
    if (completion == Completion::EsrPolling)
        json.insert(QStringLiteral("pollIntervalMs"), pollIntervalMs);
    return json;
}

} // namespace ixo
