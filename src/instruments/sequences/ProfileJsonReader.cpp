#include "instruments/sequences/ProfileJsonReader.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <cmath>

namespace ixo {

namespace {

const QString kProfileJsonReaderSource = QStringLiteral("IxoInstrSetups.InstrumentProfile");

} // namespace

ProfileJsonReader::ProfileJsonReader(const QJsonObject &object, const QString &source, QString path)
    : m_object(object)
    , m_source(source)
    , m_path(std::move(path)) {}

QString ProfileJsonReader::named(const QString &field) const {
    return m_path.isEmpty() ? field : m_path + QLatin1Char('.') + field;
}

void ProfileJsonReader::fail(const QString &field, const QString &what) const {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kProfileJsonReaderSource,
                          QStringLiteral("%1: field \"%2\": %3").arg(m_source, named(field), what));
}

void ProfileJsonReader::onlyFields(const QStringList &known) const {
    for (auto it = m_object.begin(); it != m_object.end(); ++it)
        if (!known.contains(it.key()))
            fail(it.key(), QStringLiteral("is not a %1 field (known: %2)")
                               .arg(m_path.isEmpty() ? QStringLiteral("profile")
                                                     : QStringLiteral("step or list"),
                                    known.join(QLatin1String(", "))));
}

QString ProfileJsonReader::text(const QString &field, const QString &fallback,
                                bool required) const {
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

bool ProfileJsonReader::flag(const QString &field, bool fallback) const {
    const QJsonValue value = m_object.value(field);
    if (value.isUndefined())
        return fallback;
    if (!value.isBool())
        fail(field, QStringLiteral("must be true or false, not %1").arg(shown(value)));
    return value.toBool();
}

qint64 ProfileJsonReader::number(const QString &field, qint64 fallback, qint64 min,
                                 qint64 max) const {
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

QString ProfileJsonReader::choice(const QString &field, const QString &fallback,
                                  const QStringList &choices) const {
    const QString value = text(field, fallback);
    for (const QString &choice : choices)
        if (value.compare(choice, Qt::CaseInsensitive) == 0)
            return choice;
    fail(field, QStringLiteral("must be one of %1, not \"%2\"")
                    .arg(choices.join(QLatin1String(", ")), value));
}

QStringList ProfileJsonReader::texts(const QString &field, const QStringList &fallback) const {
    const QJsonValue value = m_object.value(field);
    if (value.isUndefined())
        return fallback;
    if (value.isString())
        return {value.toString().trimmed()};
    if (!value.isArray() || value.toArray().isEmpty())
        fail(field,
             QStringLiteral("must be a string or a list of strings, not %1").arg(shown(value)));
    QStringList result;
    for (const QJsonValue &item : value.toArray()) {
        if (!item.isString())
            fail(field, QStringLiteral("must hold only strings, not %1").arg(shown(item)));
        result.append(item.toString().trimmed());
    }
    return result;
}

QJsonArray ProfileJsonReader::list(const QString &field) const {
    const QJsonValue value = m_object.value(field);
    if (value.isUndefined())
        return {};
    if (!value.isArray())
        fail(field, QStringLiteral("must be a list, not %1").arg(shown(value)));
    return value.toArray();
}

QJsonObject ProfileJsonReader::object(const QString &field) const {
    const QJsonValue value = m_object.value(field);
    if (value.isUndefined())
        return {};
    if (!value.isObject())
        fail(field, QStringLiteral("must be an object, not %1").arg(shown(value)));
    return value.toObject();
}

ProfileJsonReader ProfileJsonReader::element(const QString &field, qsizetype index) const {
    const QJsonValue value = list(field).at(index);
    const QString path = QStringLiteral("%1[%2]").arg(field).arg(index);
    if (!value.isObject())
        fail(path, QStringLiteral("must be an object, not %1").arg(shown(value)));
    return ProfileJsonReader(value.toObject(), m_source, named(path));
}

ProfileJsonReader ProfileJsonReader::member(const QString &field) const {
    return ProfileJsonReader(object(field), m_source, named(field));
}

QString ProfileJsonReader::shown(const QJsonValue &value) {
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

} // namespace ixo
