#include "automation/CaseFold.h"

namespace ixo {

QString CaseFold::fold(const QString &text) {
    bool hasUpper = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toCaseFolded();
        hasUpper = hasUpper || (c >= u'A' && c <= u'Z');
    }
    if (!hasUpper)
        return text;
    QString folded = text;
    for (QChar &c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return folded;
}

} // namespace ixo
