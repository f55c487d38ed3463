#include "instruments/simulator/ScpiCommand.h"

#include "instruments/simulator/ScpiError.h"

namespace ixo {

namespace {

struct Node {
    QStringView text;
    bool optional = false;
};

QList<Node> patternNodes(QStringView pattern) {
    QList<Node> nodes;
    bool optional = false;
    qsizetype start = 0;
    const auto close = [&](qsizetype end) {
        if (end > start)
            nodes.append({pattern.sliced(start, end - start), optional});
        start = end + 1;
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u':' || c == u'[' || c == u']') {
            close(i);
            optional = c == u'[' || (optional && c != u']');
        }
    }
    close(pattern.size());
    return nodes;
}

bool nodeMatches(QStringView node, QStringView pattern) {
    if (node.compare(pattern, Qt::CaseInsensitive) == 0)
        return true;
    qsizetype i = 0;
    for (const QChar c : pattern) {
        if (c.isLower())
            continue;
        if (i >= node.size() || node[i] != c)
            return false;
        ++i;
    }
    return i == node.size();
}

QStringView withoutColon(QStringView text) {
    return text.startsWith(u':') ? text.sliced(1) : text;
}

} // namespace

const ScpiCommand::Parameter &ScpiCommand::parameter(int index) const {
    if (index >= parameters.size())
        ScpiError::raise(-109, "Missing parameter", header);
    return parameters[index];
}

QByteArray ScpiCommand::block(int index) const {
    const Parameter &block = parameter(index);
    if (block.kind != Parameter::Kind::Block)
        ScpiError::raise(-104, "Data type error", QStringLiteral("block expected"));
    return block.value;
}

int ScpiCommand::integer(int index) const {
    bool ok = false;
    const int number = parameter(index).value.trimmed().toInt(&ok);
    if (!ok)
        ScpiError::raise(-104, "Data type error", header);
    return number;
}

int ScpiCommand::channel() const {
    for (const Parameter &parameter : parameters) {
        if (parameter.kind != Parameter::Kind::Channels)
            continue;
        bool ok = false;
        const int channel = parameter.value.trimmed().toInt(&ok);
        if (!ok || channel <= 0)
            ScpiError::raise(-224, "Illegal parameter value", header);
        return channel;
    }
    return 0;
}

bool ScpiCommand::matches(QStringView header, QStringView pattern) {
    header = withoutColon(header);
    pattern = withoutColon(pattern);
    if (header.endsWith(u'?') != pattern.endsWith(u'?'))
        return false;
    if (header.endsWith(u'?')) {
        header.chop(1);
        pattern.chop(1);
    }
    const QList<Node> nodes = patternNodes(pattern);
    qsizetype next = 0;
    for (const QStringView node : header.split(u':')) {
        while (next < nodes.size() && !nodeMatches(node, nodes[next].text) && nodes[next].optional)
            ++next;
        if (next >= nodes.size() || !nodeMatches(node, nodes[next].text))
            return false;
        ++next;
    }
    for (; next < nodes.size(); ++next)
        if (!nodes[next].optional)
            return false;
    return true;
}

QString ScpiCommand::shortForm(QStringView pattern) {
    QString form;
    int depth = 0;
    for (const QChar c : withoutColon(pattern)) {
        depth += c == u'[' ? 1 : c == u']' ? -1 : 0;
        if (depth == 0 && c != u']' && !c.isLower())
            form.append(c);
    }
    return form.startsWith(u'*') ? form : u':' + form;
}

} // namespace ixo
