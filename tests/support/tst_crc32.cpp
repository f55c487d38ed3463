#include "support/Crc32.h"

#include <QTest>

using namespace ixo;

namespace {

// One bit at a time, as the polynomial defines it.
std::uint32_t bitwise(QByteArrayView data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : data) {
        crc ^= static_cast<std::uint8_t>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

} // namespace

class TestCrc32 : public QObject {
    Q_OBJECT

private slots:
    void knownValues_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<uint>("crc");
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("check string") << QByteArray("123456789") << 0xCBF43926u;
        QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog")
                             << 0x414FA339u;
        QTest::newRow("32 zero bytes") << QByteArray(32, '\0') << 0x190A55ADu;
    }

    void knownValues() {
        QFETCH(QByteArray, data);
        QTEST(uint(Crc32::of(data)), "crc");
    }

    // Every length up to a few folding steps of 64 bytes, from unaligned starts, whole and fed
    // in two uneven parts.
    void matchesBitwise() {
        QByteArray data(300, Qt::Uninitialized);
        for (qsizetype i = 0; i < data.size(); ++i)
            data[i] = static_cast<char>(i * 37 + 11);
        for (qsizetype length = 0; length + 3 <= data.size(); ++length) {
            const QByteArrayView part = QByteArrayView(data).sliced(length % 4, length);
            QCOMPARE(Crc32::of(part), bitwise(part));
            Crc32 split;
            split.update(part.first(length / 3));
            split.update(part.sliced(length / 3));
            QCOMPARE(split.value(), bitwise(part));
        }
    }

    void largeBlock() {
        QByteArray data(1 << 20, Qt::Uninitialized);
        quint32 seed = 12345;
        for (char &byte : data) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<char>(seed >> 24);
        }
        QCOMPARE(Crc32::of(data), bitwise(data));
    }
};

QTEST_APPLESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
