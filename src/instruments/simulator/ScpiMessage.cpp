#include "instruments/simulator/ScpiMessage.h"

#include "instruments/Ieee488Block.h"
#include "instruments/simulator/ScpiError.h"

namespace ixo {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The terminator is blank too, but only where it is not a block's data: a setup block may well
// end in a newline or space byte.
bool isBlank(char c) {
    return isSpace(c) || c == '\n';
}

bool isQuote(char c) {
    return c == '\'' || c == '"';
}

} // namespace

qsizetype ScpiMessage::length(QByteArrayView input, qsizetype maxLength) {
    const qsizetype limit = std::min(input.size(), maxLength);
    char quote = 0;
    for (qsizetype i = 0; i < limit; ++i) {
        const char c = input[i];
        if (c == '\n')
            return i + 1;
        if (quote) {
            quote = c == quote ? 0 : quote;
            continue;
        }
        if (isQuote(c) && i > 0 && (isSpace(input[i - 1]) || input[i - 1] == ','))
            quote = c;
        // A definite block may hold newlines; skip over its data.
        if (c == '#' && i > 0 && (isSpace(input[i - 1]) || input[i - 1] == ',')) {
            const Ieee488Block::Header header = Ieee488Block::scan(input.sliced(i), maxLength);
            if (header.status == Ieee488Block::Status::Incomplete)
                return 0;
            if (header.status == Ieee488Block::Status::TooLarge)
                return -1;
            if (header.status == Ieee488Block::Status::Definite)
                i += header.headerLength + header.dataLength - 1;
        }
    }
    return input.size() >= maxLength ? -1 : 0;
}

QList<ScpiCommand> ScpiMessage::parse(QByteArrayView message, qsizetype maxLength) {
    return ScpiMessage(message, maxLength).commands();
}

QList<ScpiCommand> ScpiMessage::commands() {
    QList<ScpiCommand> commands;
    while (!atEnd()) {
        skipBlanks();
        if (!atEnd() && current() == ';') {
            ++m_pos;
            continue;
        }
        ScpiCommand command{header(), {}};
        if (command.header.isEmpty())
            break;
        skipBlanks();
        if (!atEnd() && current() != ';')
            command.parameters = parameters();
        if (!command.header.startsWith(QLatin1Char(':')) &&
            !command.header.startsWith(QLatin1Char('*')))
            command.header.prepend(QLatin1Char(':'));
        commands.append(command);
    }
    return commands;
}

QString ScpiMessage::header() {
    const qsizetype start = m_pos;
    while (!atEnd() && !isBlank(current()) && current() != ';')
        ++m_pos;
    return QString::fromLatin1(m_message.sliced(start, m_pos - start)).toUpper();
}

QList<ScpiCommand::Parameter> ScpiMessage::parameters() {
    QList<ScpiCommand::Parameter> parameters{parameter()};
    for (;;) {
        skipBlanks();
        if (atEnd() || current() == ';')
            return parameters;
        if (current() != ',')
            syntaxError();
        ++m_pos;
        skipBlanks();
        parameters.append(parameter());
    }
}

ScpiCommand::Parameter ScpiMessage::parameter() {
    using Kind = ScpiCommand::Parameter::Kind;
    if (!atEnd() && current() == '#' &&
        Ieee488Block::scan(m_message.sliced(m_pos), m_maxLength).status !=
            Ieee488Block::Status::NotABlock)
        return block();
    if (!atEnd() && isQuote(current()))
        return enclosed(Kind::String, current(), current());
    if (m_message.sliced(m_pos).startsWith("(@"))
        return enclosed(Kind::Channels, '@', ')');
    const qsizetype start = m_pos;
    while (!atEnd() && current() != ',' && current() != ';')
        ++m_pos;
    return {Kind::Text, m_message.sliced(start, m_pos - start).trimmed().toByteArray()};
}

ScpiCommand::Parameter ScpiMessage::block() {
    const Ieee488Block::Header block = Ieee488Block::scan(m_message.sliced(m_pos), m_maxLength);
    const qsizetype rest = m_message.size() - m_pos;
    if (block.status == Ieee488Block::Status::Indefinite) {
        // Its data runs to the terminator, which ends it.
        QByteArrayView data = m_message.sliced(m_pos + block.headerLength);
        if (data.endsWith('\n'))
            data.chop(1);
        m_pos = m_message.size();
        return {ScpiCommand::Parameter::Kind::Block, data.toByteArray()};
    }
    if (block.status != Ieee488Block::Status::Definite ||
        block.headerLength + block.dataLength > rest)
        ScpiError::raise(-160, "Block data error");
    const qsizetype start = m_pos + block.headerLength;
    m_pos = start + block.dataLength;
    return {ScpiCommand::Parameter::Kind::Block,
            m_message.sliced(start, block.dataLength).toByteArray()};
}

// A quoted string (a doubled quote stands for one) or a channel list, from open to close.
ScpiCommand::Parameter ScpiMessage::enclosed(ScpiCommand::Parameter::Kind kind, char open,
                                             char close) {
    m_pos = m_message.indexOf(open, m_pos) + 1;
    QByteArray value;
    for (; !atEnd(); ++m_pos) {
        if (current() != close) {
            value.append(current());
            continue;
        }
        if (kind != ScpiCommand::Parameter::Kind::String || m_pos + 1 >= m_message.size() ||
            m_message[m_pos + 1] != close) {
            ++m_pos;
            return {kind, value};
        }
        value.append(close);
        ++m_pos;
    }
    syntaxError();
}

void ScpiMessage::skipBlanks() {
    while (!atEnd() && isBlank(current()))
        ++m_pos;
}

void ScpiMessage::syntaxError() const {
    const QByteArrayView rest = m_message.sliced(std::min(m_pos, m_message.size()));
    ScpiError::raise(-102, "Syntax error",
                     QString::fromLatin1(rest.first(std::min<qsizetype>(40, rest.size()))));
}

} // namespace ixo
