#include "instruments/transports/SerialSettings.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QRegularExpression>

namespace ixo {

namespace {

const QString kSerialSettingsSource = QStringLiteral("IxoInstrSetups.SerialSettings");

[[noreturn]] void invalidOption(const QString &option, const QString &why) {
    throw AutomationError(VisaStatus::InvalidResourceName, kSerialSettingsSource,
                          QStringLiteral("Invalid serial option \"%1\": %2").arg(option, why));
}

const QString kOptionForms = QStringLiteral(
    "expected a baud rate (e.g. 115200), a frame (e.g. 8N1, 7E2: data bits 5-8, parity N E O M "
    "S, stop bits 1, 1.5 or 2), a flow control (none, rtscts, xonxoff) or a terminator (LF, CR, "
    "CRLF)");

SerialSettings::Parity parityOf(QChar c) {
    switch (c.toUpper().toLatin1()) {
    case 'E':
        return SerialSettings::Parity::Even;
    case 'O':
        return SerialSettings::Parity::Odd;
    case 'M':
        return SerialSettings::Parity::Mark;
    case 'S':
        return SerialSettings::Parity::Space;
    default:
        return SerialSettings::Parity::None;
    }
}

bool parseFrame(const QString &option, SerialSettings &settings) {
    static const QRegularExpression form(QStringLiteral("^([5-8])([NEOMS])(1|1\\.5|2)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(option);
    if (!match.hasMatch())
        return false;
    settings.dataBits = match.captured(1).toInt();
    settings.parity = parityOf(match.captured(2).at(0));
    const QString stop = match.captured(3);
    settings.stopBits = stop == QLatin1String("1")   ? SerialSettings::StopBits::One
                        : stop == QLatin1String("2") ? SerialSettings::StopBits::Two
                                                     : SerialSettings::StopBits::OneAndHalf;
    return true;
}

template <typename Value>
bool parseWord(const QString &option, std::initializer_list<std::pair<const char *, Value>> words,
               Value &value) {
    for (const auto &[word, meaning] : words)
        if (option.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            value = meaning;
            return true;
        }
    return false;
}

} // namespace

SerialSettings SerialSettings::parse(const QString &options) {
    return parse(options.split(QLatin1Char(','), Qt::SkipEmptyParts));
}

SerialSettings SerialSettings::parse(const QStringList &options) {
    using enum FlowControl;
    SerialSettings settings;
    for (const QString &raw : options) {
        const QString option = raw.trimmed();
        bool isNumber = false;
        const qint64 baud = option.toLongLong(&isNumber);
        if (isNumber) {
            if (baud <= 0 || baud > kMaxBaudRate)
                invalidOption(option,
                              QStringLiteral("a baud rate is between 1 and %1").arg(kMaxBaudRate));
            settings.baudRate = static_cast<qint32>(baud);
            continue;
        }
        if (parseFrame(option, settings) ||
            parseWord<FlowControl>(option,
                                   {{"none", None}, {"rtscts", RtsCts}, {"xonxoff", XonXoff}},
                                   settings.flowControl) ||
            parseWord<Terminator>(
                option,
                {{"LF", Terminator::Lf}, {"CR", Terminator::Cr}, {"CRLF", Terminator::CrLf}},
                settings.terminator))
            continue;
        invalidOption(option, kOptionForms);
    }
    return settings;
}

QString SerialSettings::frame() const {
    static const char parities[] = {'N', 'E', 'O', 'M', 'S'};
    const char *stop = stopBits == StopBits::One ? "1" : stopBits == StopBits::Two ? "2" : "1.5";
    return QStringLiteral("%1%2%3")
        .arg(dataBits)
        .arg(QLatin1Char(parities[static_cast<int>(parity)]))
        .arg(QLatin1String(stop));
}

namespace {

QString flowName(SerialSettings::FlowControl flow) {
    switch (flow) {
    case SerialSettings::FlowControl::RtsCts:
        return QStringLiteral("rtscts");
    case SerialSettings::FlowControl::XonXoff:
        return QStringLiteral("xonxoff");
    case SerialSettings::FlowControl::None:
        break;
    }
    return QStringLiteral("none");
}

QString terminatorName(SerialSettings::Terminator terminator) {
    switch (terminator) {
    case SerialSettings::Terminator::Cr:
        return QStringLiteral("CR");
    case SerialSettings::Terminator::CrLf:
        return QStringLiteral("CRLF");
    case SerialSettings::Terminator::Lf:
        break;
    }
    return QStringLiteral("LF");
}

} // namespace

QString SerialSettings::toString() const {
    return QStringList{QString::number(baudRate), frame(), flowName(flowControl),
                       terminatorName(terminator)}
        .join(QLatin1Char(','));
}

QStringList SerialSettings::changedOptions() const {
    const SerialSettings defaults;
    QStringList options;
    if (baudRate != defaults.baudRate)
        options.append(QString::number(baudRate));
    if (frame() != defaults.frame())
        options.append(frame());
    if (flowControl != defaults.flowControl)
        options.append(flowName(flowControl));
    if (terminator != defaults.terminator)
        options.append(terminatorName(terminator));
    return options;
}

QByteArray SerialSettings::terminatorBytes() const {
    switch (terminator) {
    case Terminator::Cr:
        return QByteArrayLiteral("\r");
    case Terminator::CrLf:
        return QByteArrayLiteral("\r\n");
    case Terminator::Lf:
        break;
    }
    return QByteArrayLiteral("\n");
}

} // namespace ixo
