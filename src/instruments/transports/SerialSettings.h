#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ixo {

// How a serial port is driven: line settings and the message terminator. Written as options
// such as "115200,8N1,rtscts,CRLF" (any order, any letter case); what is left out keeps its
// default of 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control, LF.
class IXO_EXPORT SerialSettings {
public:
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };
    enum class FlowControl { None, RtsCts, XonXoff };
    enum class Terminator { Lf, Cr, CrLf };

    static constexpr qint32 kDefaultBaudRate = 9600;
    static constexpr qint32 kMaxBaudRate = 4000000;

    qint32 baudRate = kDefaultBaudRate;
    int dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;
    FlowControl flowControl = FlowControl::None;
    Terminator terminator = Terminator::Lf;

    // Raises VisaStatus::InvalidResourceName naming the option that is not understood.
    static SerialSettings parse(const QStringList &options);
    static SerialSettings parse(const QString &options);

    // Every setting, e.g. "9600,8N1,none,LF".
    QString toString() const;
    // Only the settings that differ from the defaults, empty when none do.
    QStringList changedOptions() const;
    QString frame() const;
    QByteArray terminatorBytes() const;

    bool operator==(const SerialSettings &) const = default;
};

} // namespace ixo
