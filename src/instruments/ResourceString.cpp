#include "instruments/ResourceString.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QRegularExpression>
#include <QStringList>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.ResourceString");
constexpr int kMaxBoard = 255;

[[noreturn]] void invalid(const QString &text, const QString &why) {
    throw AutomationError(VisaStatus::InvalidResourceName, kSource,
                          QStringLiteral("Invalid resource string \"%1\": %2").arg(text, why));
}

bool isInstrSuffix(const QString &part) {
    return part.compare(QLatin1String("INSTR"), Qt::CaseInsensitive) == 0;
}

bool isAddressPart(const QString &part) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9._\\-]+$"));
    return form.match(part).hasMatch();
}

} // namespace

ResourceString ResourceString::parse(const QString &text) {
    static const QRegularExpression prefix(QStringLiteral("^(TCPIP|USB|GPIB|ASRL)(\\d*)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QString trimmed = text.trimmed();
    QStringList parts = trimmed.split(QStringLiteral("::"));
    const QRegularExpressionMatch match = prefix.match(parts.value(0));
    if (!match.hasMatch())
        invalid(text, QStringLiteral("it must start with TCPIP, USB, GPIB or ASRL"));
    ResourceString resource;
    const QString board = match.captured(2);
    if (!board.isEmpty()) {
        if (board.size() > 3 || board.toInt() > kMaxBoard)
            invalid(text, QStringLiteral("board number %1 is out of range").arg(board));
        resource.board = board.toInt();
    }
    const QString kind = match.captured(1).toUpper();
    parts.removeFirst();
    for (const QString &part : parts)
        if (part.isEmpty() || !isAddressPart(part))
            invalid(text, QStringLiteral("\"%1\" is not a valid part").arg(part));

    if (kind == QLatin1String("TCPIP")) {
        if (parts.size() == 3 &&
            parts[2].compare(QLatin1String("SOCKET"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const uint port = parts[1].toUInt(&ok);
            if (!ok || port == 0 || port > 65535)
                invalid(text, QStringLiteral("port %1 is not between 1 and 65535").arg(parts[1]));
            resource.interface = Interface::TcpipSocket;
            resource.address = parts[0];
            resource.port = static_cast<quint16>(port);
            return resource;
        }
        if (parts.isEmpty())
            invalid(text, QStringLiteral("the host is missing"));
        // VXI-11: host, optional LAN device name, optional INSTR.
        if (parts.size() > 3 || (parts.size() == 3 && !isInstrSuffix(parts[2])))
            invalid(text, QStringLiteral("expected TCPIP::host::port::SOCKET or "
                                         "TCPIP::host[::device][::INSTR]"));
        resource.interface = Interface::TcpipInstr;
        resource.address = parts[0];
        return resource;
    }
    if (!parts.isEmpty() && isInstrSuffix(parts.last()))
        parts.removeLast();
    if (kind == QLatin1String("USB")) {
        if (parts.size() < 3 || parts.size() > 4)
            invalid(text, QStringLiteral("expected USB::vendor::product::serial[::INSTR]"));
        resource.interface = Interface::Usb;
        resource.address = parts.mid(0, 3).join(QStringLiteral("::"));
        return resource;
    }
    if (kind == QLatin1String("GPIB")) {
        if (parts.isEmpty() || parts.size() > 2)
            invalid(text, QStringLiteral("expected GPIB::address[::secondary][::INSTR]"));
        resource.interface = Interface::Gpib;
        resource.address = parts.join(QStringLiteral("::"));
        return resource;
    }
    if (!parts.isEmpty())
        invalid(text, QStringLiteral("expected ASRL[port][::INSTR]"));
    resource.interface = Interface::Serial;
    return resource;
}

QString ResourceString::interfaceName() const {
    switch (interface) {
    case Interface::TcpipSocket:
        return QStringLiteral("raw TCP socket");
    case Interface::TcpipInstr:
        return QStringLiteral("VXI-11 (TCPIP INSTR)");
    case Interface::Usb:
        return QStringLiteral("USBTMC");
    case Interface::Gpib:
        return QStringLiteral("GPIB");
    case Interface::Serial:
        return QStringLiteral("serial (ASRL)");
    }
    return QString();
}

QString ResourceString::toString() const {
    const QString b = QString::number(board);
    switch (interface) {
    case Interface::TcpipSocket:
        return QStringLiteral("TCPIP%1::%2::%3::SOCKET").arg(b, address).arg(port);
    case Interface::TcpipInstr:
        return QStringLiteral("TCPIP%1::%2::INSTR").arg(b, address);
    case Interface::Usb:
        return QStringLiteral("USB%1::%2::INSTR").arg(b, address);
    case Interface::Gpib:
        return QStringLiteral("GPIB%1::%2::INSTR").arg(b, address);
    case Interface::Serial:
        return QStringLiteral("ASRL%1::INSTR").arg(b);
    }
    return QString();
}

} // namespace ixo
