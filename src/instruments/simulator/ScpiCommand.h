#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace ixo {

// One command of a program message: its header in capitals (":" before all but common
// commands) and its parameters.
struct IXO_EXPORT ScpiCommand {
    struct Parameter {
        enum class Kind { Text, String, Block, Channels };
        Kind kind = Kind::Text;
        // Text as written, a string without its quotes, a block's data, or the list inside
        // "(@...)".
        QByteArray value;
    };

    QString header;
    QList<Parameter> parameters;

    bool isQuery() const { return header.endsWith(QLatin1Char('?')); }
    bool hasParameter() const { return !parameters.isEmpty(); }
    // Raise "Missing parameter" or "Data type error" when the parameter is not there or not a
    // block.
    const Parameter &parameter(int index) const;
    QByteArray block(int index) const;
    int integer(int index) const;
    // The channel of a "(@n)" parameter; 0 without one.
    int channel() const;

    // Whether a header matches a mnemonic pattern such as "SYSTem:ERRor[:NEXT]?": each node in its
    // short form (the capitals and digits) or long form, in any case, optional nodes in brackets.
    static bool matches(QStringView header, QStringView pattern);
    // The short form of a pattern, with a leading ":" unless it is a common command.
    static QString shortForm(QStringView pattern);
};

} // namespace ixo
