#include "instruments/protocols/DnsMessage.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QtEndian>

namespace ixo {

namespace {

constexpr qsizetype kHeaderSize = 12;
constexpr qsizetype kMaxLabelLength = 63;
// The fixed part of a record after its name: type, class, TTL, data length.
constexpr qsizetype kRecordFixedSize = 10;
constexpr qsizetype kQuestionFixedSize = 4;

[[noreturn]] void fail(const QString &why) {
    throw AutomationError(VisaStatus::Io, QStringLiteral("IxoInstrSetups.Dns"),
                          QStringLiteral("Malformed DNS message: %1").arg(why));
}

QStringList splitName(const QString &name) {
    QStringList labels;
    QString label;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (c == u'\\' && i + 1 < name.size()) {
            label += name[++i];
        } else if (c == u'.') {
            labels.append(label);
            label.clear();
        } else {
            label += c;
        }
    }
    if (!label.isEmpty() || labels.isEmpty())
        labels.append(label);
    if (labels.size() == 1 && labels.front().isEmpty())
        labels.clear();
    return labels;
}

class Writer {
public:
    void u8(quint8 value) { m_bytes.append(char(value)); }
    void u16(quint16 value) {
        u8(quint8(value >> 8));
        u8(quint8(value));
    }
    void u32(quint32 value) {
        u16(quint16(value >> 16));
        u16(quint16(value));
    }
    void bytes(QByteArrayView data) { m_bytes.append(data); }

    void name(const QString &name) {
        qsizetype length = 1;
        for (const QString &label : splitName(name)) {
            const QByteArray text = label.toUtf8();
            if (text.isEmpty() || text.size() > kMaxLabelLength)
                fail(QStringLiteral("the name %1 has a label of %2 bytes")
                         .arg(name)
                         .arg(text.size()));
            length += 1 + text.size();
            if (length > DnsMessage::kMaxNameLength)
                fail(QStringLiteral("the name %1 is longer than 255 bytes").arg(name));
            u8(quint8(text.size()));
            bytes(text);
        }
        u8(0);
    }

    void record(const DnsMessage::Record &record) {
        name(record.name);
        u16(record.type);
        u16(record.klass);
        u32(record.ttl);
        const qsizetype lengthAt = m_bytes.size();
        u16(0);
        switch (record.type) {
        case DnsMessage::Ptr:
            name(record.target);
            break;
        case DnsMessage::Srv:
            u16(record.priority);
            u16(record.weight);
            u16(record.port);
            name(record.target);
            break;
        case DnsMessage::Txt:
            for (const QByteArray &text : record.texts) {
                if (text.size() > 255)
                    fail(QStringLiteral("a TXT string of %1 bytes").arg(text.size()));
                u8(quint8(text.size()));
                bytes(text);
            }
            break;
        case DnsMessage::A:
            u32(record.address.toIPv4Address());
            break;
        case DnsMessage::Aaaa: {
            const Q_IPV6ADDR address = record.address.toIPv6Address();
            bytes(QByteArrayView(reinterpret_cast<const char *>(address.c), 16));
            break;
        }
        default:
            bytes(record.data);
            break;
        }
        const qsizetype length = m_bytes.size() - lengthAt - 2;
        if (length > 0xFFFF)
            fail(QStringLiteral("record data of %1 bytes").arg(length));
        qToBigEndian<quint16>(quint16(length), m_bytes.data() + lengthAt);
    }

    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes) {}

    qsizetype position() const { return m_position; }
    qsizetype remaining() const { return m_bytes.size() - m_position; }
    void need(qsizetype count, const char *what) const {
        if (count > remaining())
            fail(QStringLiteral("it ends inside %1 at byte %2")
                     .arg(QLatin1String(what))
                     .arg(m_position));
    }
    quint8 u8() {
        need(1, "a value");
        return quint8(m_bytes[m_position++]);
    }
    quint16 u16() {
        need(2, "a value");
        const auto value = qFromBigEndian<quint16>(m_bytes.data() + m_position);
        m_position += 2;
        return value;
    }
    quint32 u32() {
        need(4, "a value");
        const auto value = qFromBigEndian<quint32>(m_bytes.data() + m_position);
        m_position += 4;
        return value;
    }
    QByteArrayView take(qsizetype count, const char *what) {
        need(count, what);
        const QByteArrayView view = m_bytes.sliced(m_position, count);
        m_position += count;
        return view;
    }

    // A name at the current position; compression pointers lead only to earlier bytes, so
    // following them always ends, and the name may not grow past 255 bytes.
    QString name() {
        QString text;
        qsizetype at = m_position;
        qsizetype resumeAt = -1;
        qsizetype length = 1;
        // Where the name being read began: a pointer must lead before it.
        qsizetype lowestStart = at;
        while (true) {
            if (at >= m_bytes.size())
                fail(QStringLiteral("a name runs past the end"));
            const quint8 size = quint8(m_bytes[at]);
            if ((size & 0xC0) == 0xC0) {
                if (at + 1 >= m_bytes.size())
                    fail(QStringLiteral("a compression pointer runs past the end"));
                const qsizetype target = ((size & 0x3F) << 8) | quint8(m_bytes[at + 1]);
                if (target >= lowestStart)
                    fail(QStringLiteral("a compression pointer at byte %1 does not lead backwards")
                             .arg(at));
                if (resumeAt < 0)
                    resumeAt = at + 2;
                at = target;
                lowestStart = target;
                continue;
            }
            if (size & 0xC0)
                fail(QStringLiteral("an unknown label type at byte %1").arg(at));
            if (size == 0) {
                m_position = resumeAt < 0 ? at + 1 : resumeAt;
                return text;
            }
            length += 1 + size;
            if (length > DnsMessage::kMaxNameLength)
                fail(QStringLiteral("a name is longer than 255 bytes"));
            if (at + 1 + size > m_bytes.size())
                fail(QStringLiteral("a label runs past the end"));
            if (!text.isEmpty())
                text += u'.';
            text += DnsMessage::escapeLabel(QString::fromUtf8(m_bytes.sliced(at + 1, size)));
            at += 1 + size;
        }
    }

    DnsMessage::Question question() {
        DnsMessage::Question question;
        question.name = name();
        need(kQuestionFixedSize, "a question");
        question.type = u16();
        question.klass = u16();
        return question;
    }

    DnsMessage::Record record() {
        DnsMessage::Record record;
        record.name = name();
        need(kRecordFixedSize, "a record");
        record.type = u16();
        record.klass = u16();
        record.ttl = u32();
        const quint16 length = u16();
        need(length, "record data");
        const qsizetype end = m_position + length;
        switch (record.type) {
        case DnsMessage::Ptr:
            record.target = name();
            break;
        case DnsMessage::Srv:
            record.priority = u16();
            record.weight = u16();
            record.port = u16();
            record.target = name();
            break;
        case DnsMessage::Txt:
            while (m_position < end) {
                const quint8 size = u8();
                if (m_position + size > end)
                    fail(QStringLiteral("a TXT string runs past its record"));
                record.texts.append(take(size, "a TXT string").toByteArray());
            }
            break;
        case DnsMessage::A:
            if (length != 4)
                fail(QStringLiteral("an A record of %1 bytes").arg(length));
            record.address = QHostAddress(u32());
            break;
        case DnsMessage::Aaaa:
            if (length != 16)
                fail(QStringLiteral("an AAAA record of %1 bytes").arg(length));
            record.address =
                QHostAddress(reinterpret_cast<const quint8 *>(take(16, "an address").data()));
            break;
        default:
            record.data = take(length, "record data").toByteArray();
            break;
        }
        if (m_position != end)
            fail(QStringLiteral("a record's data does not match its length"));
        return record;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

} // namespace

QByteArray DnsMessage::encode() const {
    Writer writer;
    writer.u16(id);
    writer.u16(flags);
    writer.u16(quint16(questions.size()));
    writer.u16(quint16(answers.size()));
    writer.u16(quint16(authorities.size()));
    writer.u16(quint16(additionals.size()));
    for (const Question &question : questions) {
        writer.name(question.name);
        writer.u16(question.type);
        writer.u16(question.klass);
    }
    for (const QList<Record> *section : {&answers, &authorities, &additionals}) {
        for (const Record &record : *section)
            writer.record(record);
    }
    return writer.take();
}

DnsMessage DnsMessage::decode(QByteArrayView bytes) {
    if (bytes.size() < kHeaderSize)
        fail(QStringLiteral("%1 bytes are shorter than a header").arg(bytes.size()));
    Reader reader(bytes);
    DnsMessage message;
    message.id = reader.u16();
    message.flags = reader.u16();
    const quint16 questionCount = reader.u16();
    const quint16 counts[3] = {reader.u16(), reader.u16(), reader.u16()};
    // Each entry takes at least its fixed part and a one-byte name, so the counts are checked
    // against the bytes present before anything is kept.
    const qsizetype least = questionCount * (1 + kQuestionFixedSize) +
                            (counts[0] + counts[1] + counts[2]) * (1 + kRecordFixedSize);
    if (least > reader.remaining())
        fail(QStringLiteral("the header announces more entries than %1 bytes can hold")
                 .arg(bytes.size()));
    for (quint16 i = 0; i < questionCount; ++i)
        message.questions.append(reader.question());
    QList<Record> *sections[3] = {&message.answers, &message.authorities, &message.additionals};
    for (int s = 0; s < 3; ++s) {
        for (quint16 i = 0; i < counts[s]; ++i)
            sections[s]->append(reader.record());
    }
    return message;
}

bool DnsMessage::sameName(const QString &a, const QString &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        const auto lower = [](char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

QString DnsMessage::firstLabel(const QString &name) {
    const QStringList labels = splitName(name);
    return labels.isEmpty() ? QString() : labels.front();
}

QString DnsMessage::escapeLabel(const QString &label) {
    QString escaped;
    escaped.reserve(label.size());
    for (const QChar c : label) {
        if (c == u'.' || c == u'\\')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

} // namespace ixo
