#pragma once

#include "automation/Export.h"
#include "instruments/simulator/ScpiCommand.h"

#include <QByteArrayView>
#include <QList>

namespace ixo {

// Splits program messages: where one ends in a stream, and its commands with their
// parameters (text, quoted strings, channel lists "(@1)" and blocks "#n...", "#(n)...", "#0...").
class IXO_EXPORT ScpiMessage {
public:
    // The length of the first complete program message in input, terminator included; 0 while
    // incomplete; -1 when it cannot complete within maxLength.
    static qsizetype length(QByteArrayView input, qsizetype maxLength);
    // The commands of one message; raises ScpiError for a malformed one, which runs none.
    static QList<ScpiCommand> parse(QByteArrayView message, qsizetype maxLength);

private:
    explicit ScpiMessage(QByteArrayView message, qsizetype maxLength)
        : m_message(message)
        , m_maxLength(maxLength) {}

    QList<ScpiCommand> commands();
    QString header();
    QList<ScpiCommand::Parameter> parameters();
    ScpiCommand::Parameter parameter();
    ScpiCommand::Parameter block();
    ScpiCommand::Parameter enclosed(ScpiCommand::Parameter::Kind kind, char open, char close);
    void skipBlanks();
    bool atEnd() const { return m_pos >= m_message.size(); }
    char current() const { return m_message[m_pos]; }
    [[noreturn]] void syntaxError() const;

    QByteArrayView m_message;
    qsizetype m_maxLength;
    qsizetype m_pos = 0;
};

} // namespace ixo
