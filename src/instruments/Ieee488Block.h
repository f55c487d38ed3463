#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace ixo {

// IEEE 488.2 arbitrary block data: "#<n><length in n digits><bytes>" (definite length) or
// "#0<bytes>" (indefinite, ending with the message terminator).
class Ieee488Block {
public:
    enum class Status { Incomplete, Definite, Indefinite, NotABlock, TooLarge };

    struct Header {
        Status status = Status::Incomplete;
        qsizetype headerLength = 0;
        qsizetype dataLength = 0; // Definite only
    };

    static QByteArray encode(QByteArrayView data);
    // Appends "#<n><length>" alone, for a caller that writes the data itself.
    static void appendHeader(QByteArray &to, qsizetype dataLength);
    static constexpr qsizetype kMaxHeaderLength = 2 + 19;
    // Looks at the header at the start of bytes without trusting its length beyond maxLength.
    static Header scan(QByteArrayView bytes, qsizetype maxLength);
};

} // namespace ixo
