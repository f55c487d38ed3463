#include "instruments/StateDiff.h"

#include <QTest>

using ixo::StateDiff;

class TestStateDiff : public QObject {
    Q_OBJECT

private slots:
    void compare_data() {
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("second");
        QTest::addColumn<bool>("text");
        QTest::addColumn<QStringList>("report");
        const QByteArray setup(":FREQ 1E6\r\n:POW -10\n:OUTP ON\n");
        QTest::newRow("same text, other line ends")
            << QVariant(setup) << QVariant(QString::fromLatin1(":FREQ 1E6\n:POW -10\n:OUTP ON"))
            << true << QStringList{"the data are the same"};
        QTest::newRow("a changed and an added line")
            << QVariant(setup) << QVariant(QByteArray(":FREQ 1E6\n:POW -20\n:OUTP ON\n:AM ON\n"))
            << true << QStringList{"- :POW -10", "+ :POW -20", "+ :AM ON"};
        QTest::newRow("binary ranges and sizes")
            << QVariant(QByteArray("\x00\x01\x02\x03\x04", 5))
            << QVariant(QByteArray("\x00\x09\x09\x03\x04\x05\x06", 7)) << false
            << QStringList{"bytes 1-2 differ", "bytes 5-6 differ", "sizes 5 and 7 bytes"};
        QTest::newRow("text against bytes is bytes")
            << QVariant(QByteArray("abc")) << QVariant(QByteArray("ab\x01", 3)) << false
            << QStringList{"bytes 2-2 differ"};
    }

    void compare() {
        QFETCH(QVariant, first);
        QFETCH(QVariant, second);
        const StateDiff diff = StateDiff::compare(first, second);
        QTEST(diff.isText(), "text");
        QTEST(diff.toText(), "report");
        QCOMPARE(diff.toJson().value(QStringLiteral("same")).toBool(), diff.same());
    }

    void settings_data() {
        QTest::addColumn<QVariant>("first");
        QTest::addColumn<QVariant>("second");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("changed, only first, only second, same")
            << QVariant(QStringLiteral("*RST;:FREQ 1E6;:POW -10;:OUTP ON"))
            << QVariant(QByteArray(":FREQ 2E6\n:OUTP ON\n:AM:STAT ON\n"))
            << QStringList{":AM:STAT||ON|second", ":FREQ|1E6|2E6|changed", ":OUTP|ON|ON|same",
                           ":POW|-10||first"};
        QTest::newRow("quoted separator stays in its value")
            << QVariant(QStringLiteral(":DISP:TEXT \"a;b\""))
            << QVariant(QStringLiteral(":DISP:TEXT \"a\""))
            << QStringList{":DISP:TEXT|\"a;b\"|\"a\"|changed"};
        QTest::newRow("blocks have no settings")
            << QVariant(QByteArray("\x01\x02", 2)) << QVariant(QByteArray(":FREQ 1"))
            << QStringList{};
    }

    void settings() {
        QFETCH(QVariant, first);
        QFETCH(QVariant, second);
        static const char *const names[] = {"same", "changed", "first", "second"};
        QStringList rows;
        for (const StateDiff::Setting &s : StateDiff::compare(first, second).settings())
            rows << QStringList{s.header, s.first, s.second, names[int(s.change)]}.join('|');
        QTEST(rows, "rows");
    }

    void blocks() {
        const QByteArray a("123456789");
        const StateDiff diff = StateDiff::compare(QVariant(a), QVariant(QByteArray("\x00", 1)));
        QCOMPARE(diff.block(0).size, 9);
        QCOMPARE(diff.block(0).crc32, 0xCBF43926u);
        QCOMPARE(diff.block(1).size, 1);
        QCOMPARE(diff.block(1).crc32, 0xD202EF8Du);
    }
};

QTEST_MAIN(TestStateDiff)
#include "tst_statediff.moc"
