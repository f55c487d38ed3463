#include "instruments/Ieee488Block.h"

#include <algorithm>

namespace ixo {

void Ieee488Block::appendHeader(QByteArray &to, qsizetype dataLength, Form form, int digits) {
    to.append('#');
    if (form == Form::Indefinite) {
        to.append('0');
        return;
    }
    const QByteArray length = QByteArray::number(dataLength);
    if (form == Form::Parenthesized) {
        to.append('(').append(length).append(')');
        return;
    }
    const qsizetype width = std::max<qsizetype>(length.size(), std::min(digits, 9));
    to.append(static_cast<char>('0' + width));
    to.append(QByteArray(width - length.size(), '0'));
    to.append(length);
}

QByteArray Ieee488Block::encode(QByteArrayView data, Form form) {
    QByteArray block;
    block.reserve(kMaxHeaderLength + data.size());
    appendHeader(block, data.size(), form);
    block.append(data);
    return block;
}

Ieee488Block::Header Ieee488Block::scan(QByteArrayView bytes, qsizetype maxLength) {
    Header header;
    if (bytes.isEmpty())
        return header;
    if (bytes[0] != '#') {
        header.status = Status::NotABlock;
        return header;
    }
    if (bytes.size() < 2)
        return header;
    const char digits = bytes[1];
    if (digits == '(')
        return scanParenthesized(bytes, maxLength);
    if (digits == '0') {
        header.status = Status::Indefinite;
        header.headerLength = 2;
        return header;
    }
    if (digits < '1' || digits > '9') {
        header.status = Status::NotABlock;
        return header;
    }
    const qsizetype count = digits - '0';
    if (bytes.size() < 2 + count)
        return header;
    qint64 length = 0; // at most nine digits: fits
    for (qsizetype i = 2; i < 2 + count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') {
            header.status = Status::NotABlock;
            return header;
        }
        length = length * 10 + (bytes[i] - '0');
    }
    header.headerLength = 2 + count;
    header.dataLength = static_cast<qsizetype>(length);
    header.status = length > maxLength ? Status::TooLarge : Status::Definite;
    return header;
}

Ieee488Block::Header Ieee488Block::scanParenthesized(QByteArrayView bytes, qsizetype maxLength) {
    Header header;
    qint64 length = 0;
    for (qsizetype i = 2; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == ')' && i > 2) {
            header.headerLength = i + 1;
            header.dataLength = static_cast<qsizetype>(length);
            header.parenthesized = true;
            header.status = length > maxLength ? Status::TooLarge : Status::Definite;
            return header;
        }
        if (c < '0' || c > '9') {
            header.status = Status::NotABlock;
            return header;
        }
        // Any length past the limit is too large, however many digits follow.
        if (length <= maxLength)
            length = length * 10 + (c - '0');
    }
    return header;
}

} // namespace ixo
