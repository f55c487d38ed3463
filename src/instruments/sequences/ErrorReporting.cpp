#include "instruments/sequences/ErrorReporting.h"

#include "instruments/sequences/ProfileJsonReader.h"

namespace ixo {

namespace {

const QStringList kForms{QStringLiteral("queue"), QStringLiteral("register"),
                         QStringLiteral("none")};

} // namespace

const QString ErrorReporting::kScpiQuery = QStringLiteral(":SYST:ERR?");

QString ErrorReporting::registerError(const QByteArray &answer, bool *ok) const {
    // "CMR 0" from an instrument that answers with headers, "0" from one without.
    const QByteArray number = answer.trimmed().split(' ').last();
    const int value = number.toInt(ok);
    if (!*ok || value < 0)
        return {};
    if ((value & mask) == 0)
        return {};
    return QStringLiteral("%1 answered %2").arg(query).arg(value);
}

ErrorReporting ErrorReporting::fromJson(const ProfileJsonReader &reader) {
    reader.onlyFields({QStringLiteral("query"), QStringLiteral("form"), QStringLiteral("mask")});
    ErrorReporting errors;
    errors.form =
        Form(kForms.indexOf(reader.choice(QStringLiteral("form"), kForms.front(), kForms)));
    errors.query =
        reader.text(QStringLiteral("query"),
                    errors.form == Form::Register ? QStringLiteral("*ESR?") : kScpiQuery);
    if (errors.form != Form::None &&
        (!errors.query.contains(QLatin1Char('?')) || errors.query.contains(QLatin1Char('\n'))))
        reader.fail(QStringLiteral("query"),
                    QStringLiteral("must be one query, not \"%1\"").arg(errors.query));
    errors.mask = int(reader.number(QStringLiteral("mask"), kEsrErrorBits, 1, 0x7FFFFFFF));
    return errors;
}

QJsonObject ErrorReporting::toJson() const {
    QJsonObject json{{QStringLiteral("form"), kForms[int(form)]}};
    if (form != Form::None)
        json.insert(QStringLiteral("query"), query);
    if (form == Form::Register)
        json.insert(QStringLiteral("mask"), mask);
    return json;
}

} // namespace ixo
