#include "instruments/Ieee488Block.h"

namespace ixo {

void Ieee488Block::appendHeader(QByteArray &to, qsizetype dataLength) {
    const QByteArray length = QByteArray::number(dataLength);
    to.append('#');
    to.append(static_cast<char>('0' + length.size()));
    to.append(length);
}

QByteArray Ieee488Block::encode(QByteArrayView data) {
    QByteArray block;
    block.reserve(kMaxHeaderLength + data.size());
    appendHeader(block, data.size());
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

} // namespace ixo
