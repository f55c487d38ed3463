#include "instruments/ResourceString.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace ixo {

const QString ResourceString::kDefaultVxi11Device = QStringLiteral("inst0");

namespace {

const QString kResourceStringSource = QStringLiteral("IxoInstrSetups.ResourceString");
constexpr int kMaxBoard = 255;
constexpr int kMaxGpibAddress = 30;
constexpr int kMaxUsbInterface = 255;
constexpr int kMaxSerialPort = 256;

[[noreturn]] void invalid(const QString &text, const QString &why) {
    throw AutomationError(VisaStatus::InvalidResourceName, kResourceStringSource,
                          QStringLiteral("Invalid resource string \"%1\": %2").arg(text, why));
}

bool isKeyword(const QString &part, const char *keyword) {
    return part.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool matches(const QString &part, const char *pattern) {
    const QRegularExpression form(QLatin1String(pattern),
                                  QRegularExpression::CaseInsensitiveOption);
    return form.match(part).hasMatch();
}

bool isHostName(const QString &part) {
    return matches(part, "^[A-Za-z0-9._\\-]+$");
}

// 0x1AB1 or 6833, as VISA tools write USB ids.
std::optional<quint16> usbId(const QString &part) {
    bool ok = false;
    const bool hex = part.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    if ((hex ? part.size() > 6 : part.size() > 5) || part.size() < (hex ? 3 : 1))
        return std::nullopt;
    const uint value = hex ? part.mid(2).toUInt(&ok, 16) : part.toUInt(&ok, 10);
    if (!ok || value > 0xFFFF || part.contains(QLatin1Char('+')) || part.contains(u'-'))
        return std::nullopt;
    return static_cast<quint16>(value);
}

std::optional<int> smallNumber(const QString &part, int max) {
    bool ok = false;
    const int value = part.toInt(&ok);
    if (!ok || value < 0 || value > max || part.size() > 3 || !part.front().isDigit())
        return std::nullopt;
    return value;
}

quint16 portOf(const QString &text, const QString &part) {
    bool ok = false;
    const uint port = part.toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || !part.front().isDigit())
        invalid(text, QStringLiteral("port %1 is not between 1 and 65535").arg(part));
    return static_cast<quint16>(port);
}

// The parts after the interface keyword; a leading "[...]" is one part, an IPv6 address.
QStringList splitParts(const QString &text, const QString &rest) {
    QStringList parts;
    QString remaining = rest;
    if (remaining.startsWith(QLatin1Char('['))) {
        const qsizetype close = remaining.indexOf(QLatin1Char(']'));
        if (close < 0)
            invalid(text, QStringLiteral("the IPv6 address has no closing \"]\""));
        parts.append(remaining.left(close + 1));
        remaining = remaining.mid(close + 1);
        if (!remaining.isEmpty() && !remaining.startsWith(QLatin1String("::")))
            invalid(text, QStringLiteral("\"::\" must follow the IPv6 address"));
        remaining = remaining.mid(2);
        if (remaining.isEmpty())
            return parts;
    }
    parts.append(remaining.split(QStringLiteral("::")));
    return parts;
}

QString hostOf(const QString &text, const QString &part) {
    if (part.startsWith(QLatin1Char('['))) {
        const QString address = part.mid(1, part.size() - 2);
        if (!matches(address, "^[0-9A-F:.]+(%[A-Za-z0-9_.\\-]+)?$") ||
            !address.contains(QLatin1Char(':')))
            invalid(text, QStringLiteral("\"%1\" is not an IPv6 address").arg(part));
        return address;
    }
    if (part.isEmpty())
        invalid(text, QStringLiteral("the host is missing"));
    if (!isHostName(part))
        invalid(text, QStringLiteral("\"%1\" is not a host name or address").arg(part));
    return part;
}

void dropInstrSuffix(QStringList &parts) {
    if (!parts.isEmpty() && isKeyword(parts.last(), "INSTR"))
        parts.removeLast();
}

void parseTcpip(const QString &text, QStringList parts, ResourceString &resource) {
    using Interface = ResourceString::Interface;
    if (parts.isEmpty() || parts[0].isEmpty())
        invalid(text, QStringLiteral("the host is missing"));
    resource.host = hostOf(text, parts[0]);
    if (!parts.isEmpty() && isKeyword(parts.last(), "SOCKET")) {
        if (parts.size() != 3)
            invalid(text, QStringLiteral("expected TCPIP::host::port::SOCKET"));
        resource.interface = Interface::TcpipSocket;
        resource.port = portOf(text, parts[1]);
        return;
    }
    dropInstrSuffix(parts);
    if (parts.size() > 2)
        invalid(text, QStringLiteral("expected TCPIP::host::port::SOCKET, "
                                     "TCPIP::host[::device]::INSTR or "
                                     "TCPIP::host::hislip0[,port]::INSTR"));
    if (parts.size() == 1) {
        resource.interface = Interface::TcpipInstr;
        resource.deviceName = ResourceString::kDefaultVxi11Device;
        return;
    }
    const QString device = parts[1];
    static const QRegularExpression hislip(QStringLiteral("^(hislip\\d+)(?:,(.*))?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = hislip.match(device);
    if (match.hasMatch()) {
        resource.interface = Interface::TcpipHislip;
        resource.deviceName = match.captured(1);
        resource.port = match.hasCaptured(2) ? portOf(text, match.captured(2))
                                             : ResourceString::kDefaultHislipPort;
        return;
    }
    // VXI-11 names such as "inst0", or "gpib0,5" behind a gateway.
    if (!matches(device, "^[A-Za-z][A-Za-z0-9_]*(,[0-9]+)*$"))
        invalid(text, QStringLiteral("\"%1\" is not a LAN device name such as inst0").arg(device));
    resource.interface = Interface::TcpipInstr;
    resource.deviceName = device;
}

void parseUsb(const QString &text, QStringList parts, ResourceString &resource) {
    if (!parts.isEmpty() && isKeyword(parts.last(), "RAW"))
        invalid(text, QStringLiteral("USB RAW resources need a driver of their own; USBTMC "
                                     "instruments are addressed as ...::INSTR"));
    dropInstrSuffix(parts);
    if (parts.size() < 3 || parts.size() > 4)
        invalid(text, QStringLiteral("expected USB::vendor::product::serial[::interface]::INSTR"));
    const std::optional<quint16> vendor = usbId(parts[0]);
    const std::optional<quint16> product = usbId(parts[1]);
    if (!vendor || !product)
        invalid(text, QStringLiteral("\"%1\" is not a USB id such as 0x1AB1 or 6833")
                          .arg(vendor ? parts[1] : parts[0]));
    if (parts[2].isEmpty() || !matches(parts[2], "^[\\x21-\\x7E]+$") ||
        parts[2].contains(QLatin1Char(':')))
        invalid(text, QStringLiteral("\"%1\" is not a USB serial number").arg(parts[2]));
    resource.interface = ResourceString::Interface::Usb;
    resource.usbVendor = *vendor;
    resource.usbProduct = *product;
    resource.usbSerial = parts[2];
    if (parts.size() == 4) {
        const std::optional<int> number = smallNumber(parts[3], kMaxUsbInterface);
        if (!number)
            invalid(text, QStringLiteral("\"%1\" is not a USB interface number").arg(parts[3]));
        resource.usbInterface = *number;
    }
}

void parseGpib(const QString &text, QStringList parts, ResourceString &resource) {
    dropInstrSuffix(parts);
    if (parts.isEmpty() || parts.size() > 2)
        invalid(text, QStringLiteral("expected GPIB::primary[::secondary]::INSTR"));
    const std::optional<int> primary = smallNumber(parts[0], kMaxGpibAddress);
    const std::optional<int> secondary =
        parts.size() == 2 ? smallNumber(parts[1], kMaxGpibAddress) : std::optional<int>(-1);
    if (!primary || !secondary)
        invalid(text, QStringLiteral("GPIB addresses are between 0 and %1").arg(kMaxGpibAddress));
    resource.interface = ResourceString::Interface::Gpib;
    resource.gpibPrimary = *primary;
    resource.gpibSecondary = *secondary;
}

// "1,9600,8N1" or "/dev/ttyUSB0,115200": the port, then its options.
void parseSerial(const QString &text, const QString &head, QStringList parts,
                 ResourceString &resource) {
    dropInstrSuffix(parts);
    if (!parts.isEmpty())
        invalid(text, QStringLiteral("expected ASRLn[,options]::INSTR or "
                                     "ASRL/dev/ttyX[,options]::INSTR"));
    QStringList fields = head.split(QLatin1Char(','));
    const QString port = fields.takeFirst();
    if (port.startsWith(QLatin1Char('/'))) {
        if (!matches(port, "^(/[A-Za-z0-9._+:\\-]+)+$"))
            invalid(text,
                    QStringLiteral("\"%1\" is not a device file such as /dev/ttyUSB0").arg(port));
        resource.serialDevice = port;
    } else {
        const std::optional<int> number = smallNumber(port, kMaxSerialPort);
        if (!number || *number == 0)
            invalid(text, QStringLiteral("serial ports count from 1 (ASRL1 is /dev/ttyS0) or are "
                                         "named by their device file (ASRL/dev/ttyUSB0)"));
        resource.board = *number;
        resource.serialDevice = QStringLiteral("/dev/ttyS%1").arg(*number - 1);
    }
    for (const QString &field : fields)
        if (field.trimmed().isEmpty())
            invalid(text, QStringLiteral("a serial option is empty"));
    resource.interface = ResourceString::Interface::Serial;
    try {
        resource.serial = SerialSettings::parse(fields);
    } catch (const AutomationError &error) {
        invalid(text, error.description());
    }
}

int boardOf(const QString &text, const QString &board) {
    if (board.isEmpty())
        return 0;
    if (board.size() > 3 || board.toInt() > kMaxBoard)
        invalid(text, QStringLiteral("board number %1 is out of range").arg(board));
    return board.toInt();
}

} // namespace

QString ResourceString::supportedForms() {
    return QStringLiteral("TCPIP::host::port::SOCKET, TCPIP::host[::inst0]::INSTR (VXI-11), "
                          "TCPIP::host::hislip0[,port]::INSTR (HiSLIP), "
                          "USB::vendor::product::serial[::interface]::INSTR (USBTMC), "
                          "ASRLn[,options]::INSTR or ASRL/dev/ttyUSB0[,options]::INSTR (serial)");
}

ResourceString ResourceString::parse(const QString &text) {
    static const QRegularExpression prefix(
        QStringLiteral("^(TCPIP|USB|GPIB-VXI|GPIB|VXI|PXI|ASRL)(\\d*)(?=::|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    ResourceString resource;
    if (trimmed.startsWith(QLatin1String("ASRL"), Qt::CaseInsensitive)) {
        QStringList parts = trimmed.mid(4).split(QStringLiteral("::"));
        const QString head = parts.takeFirst();
        parseSerial(text, head, parts, resource);
        return resource;
    }
    const QRegularExpressionMatch match = prefix.match(trimmed);
    if (!match.hasMatch())
        invalid(text, QStringLiteral("it must start with TCPIP, USB, ASRL or GPIB; the forms "
                                     "are ") +
                          supportedForms());
    resource.board = boardOf(text, match.captured(2));
    const QString kind = match.captured(1).toUpper();
    const QString rest = trimmed.mid(match.capturedLength());
    if (kind == QLatin1String("VXI") || kind == QLatin1String("GPIB-VXI") ||
        kind == QLatin1String("PXI")) {
        resource.interface = Interface::Other;
        resource.other = trimmed.toUpper();
        return resource;
    }
    if (!rest.startsWith(QLatin1String("::")))
        invalid(text, QStringLiteral("\"::\" must follow %1").arg(kind));
    const QStringList parts = splitParts(text, rest.mid(2));
    if (kind == QLatin1String("TCPIP")) {
        parseTcpip(text, parts, resource);
        return resource;
    }
    for (const QString &part : parts)
        if (part.isEmpty() || part.contains(QLatin1Char(' ')))
            invalid(text, QStringLiteral("\"%1\" is not a valid part").arg(part));
    if (kind == QLatin1String("USB"))
        parseUsb(text, parts, resource);
    else
        parseGpib(text, parts, resource);
    return resource;
}

QString ResourceString::interfaceName() const {
    switch (interface) {
    case Interface::TcpipSocket:
        return QStringLiteral("raw TCP socket");
    case Interface::TcpipInstr:
        return QStringLiteral("VXI-11 (TCPIP INSTR)");
    case Interface::TcpipHislip:
        return QStringLiteral("HiSLIP (TCPIP hislip INSTR)");
    case Interface::Usb:
        return QStringLiteral("USBTMC");
    case Interface::Serial:
        return QStringLiteral("serial (ASRL)");
    case Interface::Gpib:
        return QStringLiteral("GPIB");
    case Interface::Other:
        return other.section(QStringLiteral("::"), 0, 0).remove(QRegularExpression("\\d+$"));
    }
    return QString();
}

namespace {

QString hex4(quint16 id) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0')).toUpper();
}

QString hostPart(const QString &host) {
    return host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
}

} // namespace

QString ResourceString::toString() const {
    const QString b = QString::number(board);
    switch (interface) {
    case Interface::TcpipSocket:
        return QStringLiteral("TCPIP%1::%2::%3::SOCKET").arg(b, hostPart(host)).arg(port);
    case Interface::TcpipInstr:
        return QStringLiteral("TCPIP%1::%2::%3::INSTR").arg(b, hostPart(host), deviceName);
    case Interface::TcpipHislip: {
        const QString sub = port == kDefaultHislipPort
                                ? deviceName
                                : QStringLiteral("%1,%2").arg(deviceName).arg(port);
        return QStringLiteral("TCPIP%1::%2::%3::INSTR").arg(b, hostPart(host), sub);
    }
    case Interface::Usb: {
        QString text = QStringLiteral("USB%1::%2::%3::%4")
                           .arg(b, hex4(usbVendor), hex4(usbProduct), usbSerial);
        if (usbInterface >= 0)
            text += QStringLiteral("::%1").arg(usbInterface);
        return text + QStringLiteral("::INSTR");
    }
    case Interface::Serial: {
        const QString device = board > 0 ? QString::number(board) : serialDevice;
        const QStringList options = serial.changedOptions();
        return QStringLiteral("ASRL%1%2::INSTR")
            .arg(device, options.isEmpty() ? QString() : QLatin1Char(',') + options.join(u','));
    }
    case Interface::Gpib:
        return gpibSecondary >= 0 ? QStringLiteral("GPIB%1::%2::%3::INSTR")
                                        .arg(b)
                                        .arg(gpibPrimary)
                                        .arg(gpibSecondary)
                                  : QStringLiteral("GPIB%1::%2::INSTR").arg(b).arg(gpibPrimary);
    case Interface::Other:
        return other;
    }
    return QString();
}

} // namespace ixo
