#include "AutomationAssert.h"
#include "instruments/protocols/DnsMessage.h"

#include <QTest>

using namespace ixo;
using test::errorTextOf;

Q_DECLARE_METATYPE(ixo::DnsMessage)

namespace {

DnsMessage::Record record(const QString &name, quint16 type) {
    DnsMessage::Record r;
    r.name = name;
    r.type = type;
    r.ttl = 120;
    return r;
}

QByteArray header(quint16 questions, quint16 answers) {
    return QByteArray::fromHex("00008400") + char(questions >> 8) + char(questions) +
           char(answers >> 8) + char(answers) + QByteArray(4, '\0');
}

} // namespace

class TestDnsMessage : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<DnsMessage>("message");
        DnsMessage query;
        query.id = 0x1234;
        query.questions = {{"_lxi._tcp.local", DnsMessage::Ptr, DnsMessage::kClassIn},
                           {"host.local", DnsMessage::A, DnsMessage::kClassIn | 0x8000}};
        QTest::newRow("query") << query;

        DnsMessage response;
        response.flags = DnsMessage::kFlagResponse | DnsMessage::kFlagAuthoritative;
        auto ptr = record("_scpi-raw._tcp.local", DnsMessage::Ptr);
        ptr.target = "SG-100 \\. 5\\\\x._scpi-raw._tcp.local";
        auto srv = record(ptr.target, DnsMessage::Srv);
        srv.klass |= DnsMessage::kClassTopBit;
        srv.priority = 1;
        srv.weight = 2;
        srv.port = 5025;
        srv.target = "sim.local";
        auto txt = record(ptr.target, DnsMessage::Txt);
        txt.texts = {"txtvers=1", "", QByteArray(255, 'x')};
        auto a = record("sim.local", DnsMessage::A);
        a.address = QHostAddress("127.0.0.1");
        auto aaaa = record("sim.local", DnsMessage::Aaaa);
        aaaa.address = QHostAddress("fe80::1");
        auto other = record("sim.local", 47);
        other.data = QByteArray::fromHex("00ff00");
        response.answers = {ptr};
        response.authorities = {other};
        response.additionals = {srv, txt, a, aaaa};
        QTest::newRow("response, every record type, escaped instance name") << response;
    }

    void roundTrip() {
        QFETCH(DnsMessage, message);
        QCOMPARE(DnsMessage::decode(message.encode()), message);
    }

    // Names as other responders write them: compressed, pointing back at earlier names.
    void decodesCompression() {
        QByteArray bytes = header(1, 1);
        bytes += QByteArray("\x04_lxi\x04_tcp\x05local\x00", 17) + QByteArray::fromHex("000c0001");
        // PTR whose name points at the question (offset 12) and whose target adds a label to it.
        bytes += QByteArray::fromHex("c00c000c000100000078") + QByteArray::fromHex("0008") +
                 QByteArray("\x05Scope", 6) + QByteArray::fromHex("c00c");
        const DnsMessage message = DnsMessage::decode(bytes);
        QCOMPARE(message.questions.value(0).name, QStringLiteral("_lxi._tcp.local"));
        QCOMPARE(message.answers.value(0).name, QStringLiteral("_lxi._tcp.local"));
        QCOMPARE(message.answers.value(0).target, QStringLiteral("Scope._lxi._tcp.local"));
        QCOMPARE(DnsMessage::firstLabel("My\\.Scope._lxi._tcp.local"), QStringLiteral("My.Scope"));
        QVERIFY(DnsMessage::sameName("SIM.Local", "sim.local"));
    }

    void malformed_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray type = QByteArray::fromHex("000c0001");
        QTest::newRow("shorter than a header") << QByteArray(11, '\0') << "shorter than a header";
        QTest::newRow("counts beyond the bytes")
            << header(0xFFFF, 0xFFFF) + QByteArray(40, '\0') << "more entries";
        QTest::newRow("pointer to itself")
            << header(1, 0) + QByteArray::fromHex("c00c") + type << "does not lead backwards";
        QTest::newRow("pointer forwards")
            << header(1, 0) + QByteArray::fromHex("c010") + type + QByteArray(1, '\0')
            << "does not lead backwards";
        // Two names pointing at each other: the second's pointer leads back into the first,
        // whose pointer leads forward again.
        QTest::newRow("pointer loop through two names")
            << header(2, 0) + QByteArray::fromHex("01 61 c0 14") + type +
                   QByteArray::fromHex("01 62 c0 0c") + type
            << "does not lead backwards";
        QTest::newRow("label past the end")
            << header(1, 0) + QByteArray::fromHex("3f 61626364") << "a label runs past the end";
        QTest::newRow("name without its end")
            << header(1, 0) + QByteArray::fromHex("01 61 01 62 01 63")
            << "a name runs past the end";
        QTest::newRow("reserved label type")
            << header(1, 0) + QByteArray::fromHex("4000") + type << "unknown label type";
        QByteArray longName = header(1, 0);
        for (int i = 0; i < 5; ++i)
            longName += char(63) + QByteArray(63, 'a');
        QTest::newRow("name over 255 bytes") << longName + '\0' + type << "longer than 255";
        QTest::newRow("question cut short")
            << header(1, 0) + QByteArray::fromHex("01 61 00 000c") << "inside a question";
        const QByteArray answer = header(0, 1) + QByteArray(1, '\0');
        QTest::newRow("A of 3 bytes")
            << answer + QByteArray::fromHex("00010001000000780003 7f0000") << "an A record of 3";
        QTest::newRow("data past the end")
            << answer + QByteArray::fromHex("00100001000000780010 0161") << "inside record data";
        QTest::newRow("TXT string past its record")
            << answer + QByteArray::fromHex("00100001000000780002 0561 00") << "past its record";
        QTest::newRow("SRV data longer than its fields")
            << answer + QByteArray::fromHex("00210001000000780008 0000 0000 13c4 00 00")
            << "does not match its length";
        QTest::newRow("pointer in data leading past its record")
            << answer + QByteArray::fromHex("000c0001000000780002 c0ff")
            << "does not lead backwards";
    }

    void malformed() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const QString error = errorTextOf([&] { DnsMessage::decode(bytes); });
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    void encodeRefuses_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QString name;
        for (int i = 0; i < 5; ++i)
            name += QString(60, u'a') + u'.';
        QTest::newRow("label of 64 bytes") << QString(64, u'a') + ".local"
                                           << "a label of 64 bytes";
        QTest::newRow("empty label") << QStringLiteral("a..local") << "a label of 0 bytes";
        QTest::newRow("name over 255 bytes") << name + "local"
                                             << "longer than 255 bytes";
    }

    void encodeRefuses() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        DnsMessage message;
        message.questions = {{name, DnsMessage::A, DnsMessage::kClassIn}};
        const QString error = errorTextOf([&] { message.encode(); });
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_APPLESS_MAIN(TestDnsMessage)
#include "tst_dnsmessage.moc"
