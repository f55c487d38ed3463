#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace ixo {

// A DNS message (RFC 1035) as multicast DNS and DNS-SD use it (RFC 6762, 6763). Names are
// written with dots between labels; a dot or backslash inside a label (DNS-SD instance names
// may hold them) is escaped with a backslash. The decoder takes any bytes: every length and
// compression pointer is checked against the message, pointers may only lead backwards, and a
// malformed message raises an AutomationError (VisaStatus::Io). The encoder writes names
// uncompressed.
class IXO_EXPORT DnsMessage {
public:
    enum Type : quint16 { A = 1, Ptr = 12, Txt = 16, Aaaa = 28, Srv = 33, Any = 255 };
    static constexpr quint16 kClassIn = 1;
    // The top bit of a question's class asks for a unicast answer; of a record's, it flushes
    // caches.
    static constexpr quint16 kClassTopBit = 0x8000;
    static constexpr quint16 kFlagResponse = 0x8000;
    static constexpr quint16 kFlagAuthoritative = 0x0400;
    static constexpr qsizetype kMaxNameLength = 255;

    struct Question {
        QString name;
        quint16 type = Ptr;
        quint16 klass = kClassIn;

        bool operator==(const Question &) const = default;
    };

    struct Record {
        QString name;
        quint16 type = A;
        quint16 klass = kClassIn;
        quint32 ttl = 0;
        // PTR: the name pointed to; SRV: the target host.
        QString target;
        // SRV
        quint16 priority = 0;
        quint16 weight = 0;
        quint16 port = 0;
        // TXT: the strings.
        QList<QByteArray> texts;
        // A, AAAA
        QHostAddress address;
        // Other types: the data as it came.
        QByteArray data;

        bool operator==(const Record &) const = default;
    };

    quint16 id = 0;
    quint16 flags = 0;
    QList<Question> questions;
    QList<Record> answers;
    QList<Record> authorities;
    QList<Record> additionals;

    bool isResponse() const { return flags & kFlagResponse; }
    // Answers, authorities and additionals in that order.
    QList<Record> records() const { return answers + authorities + additionals; }

    QByteArray encode() const;
    static DnsMessage decode(QByteArrayView bytes);

    // Whether two names are the same name, ignoring ASCII letter case as DNS does.
    static bool sameName(const QString &a, const QString &b);
    // The first label of a name, unescaped (a DNS-SD instance's own name).
    static QString firstLabel(const QString &name);
    // A label escaped for a name.
    static QString escapeLabel(const QString &label);

    bool operator==(const DnsMessage &) const = default;
};

} // namespace ixo
