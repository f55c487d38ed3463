#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>

namespace ixo {

// IEEE 488.2 arbitrary block data: "#<n><length in n digits><bytes>" (definite length) or
// "#0<bytes>" (indefinite, ending with the message terminator). Some Rohde & Schwarz instruments
// write definite lengths of any size as "#(<length>)<bytes>"; scan reads those as definite.
class IXO_EXPORT Ieee488Block {
public:
    enum class Status { Incomplete, Definite, Indefinite, NotABlock, TooLarge };
    enum class Form { Definite, Indefinite, Parenthesized };

    struct Header {
        Status status = Status::Incomplete;
        qsizetype headerLength = 0;
        qsizetype dataLength = 0; // Definite only
        // The definite length was written "#(<length>)".
        bool parenthesized = false;
    };

    static QByteArray encode(QByteArrayView data, Form form = Form::Definite);
    // Appends the header alone, for a caller that writes the data itself; digits pads a
    // definite length with zeros, as instruments answering "#8000012..." do.
    static void appendHeader(QByteArray &to, qsizetype dataLength, Form form = Form::Definite,
                             int digits = 0);
    static constexpr qsizetype kMaxHeaderLength = 3 + 19;
    // Looks at the header at the start of bytes without trusting its length beyond maxLength.
    static Header scan(QByteArrayView bytes, qsizetype maxLength);

private:
    static Header scanParenthesized(QByteArrayView bytes, qsizetype maxLength);
};

} // namespace ixo
