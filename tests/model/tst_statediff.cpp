#include "model/StateDiff.h"

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
};

QTEST_MAIN(TestStateDiff)
#include "tst_statediff.moc"
