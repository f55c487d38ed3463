#include "AutomationAssert.h"
#include "Variants.h"
#include "automation/CaseFold.h"
#include "automation/Collection.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantConvert.h"

#include <QBuffer>
#include <QCborArray>
#include <QCborMap>
#include <QPoint>
#include <QTest>

using ixo::PropertyBag;
using ixo::VariantConvert;
using ixo::test::errorOf;
using ixo::test::errorTextOf;
namespace Err = ixo::ErrorNumber;

namespace {

// "a", "b", "c" under the keys Alpha, Beta, Gamma.
struct Abc : ixo::Collection {
    Abc() {
        Add(QStringLiteral("a"), QStringLiteral("Alpha"));
        Add(QStringLiteral("b"), QStringLiteral("Beta"));
        Add(QStringLiteral("c"), QStringLiteral("Gamma"));
    }
    QString items() const {
        QString text;
        for (int i = 1; i <= Count(); ++i)
            text += Item(i).toString();
        return text;
    }
};

QByteArray documentWith(const QCborValue &value, qint64 version = PropertyBag::kFormatVersion) {
    QCborMap document;
    document.insert(QStringLiteral("format"), QStringLiteral("IxoPropertyBag"));
    document.insert(QStringLiteral("version"), version);
    document.insert(QStringLiteral("properties"), QCborArray{QCborArray{"P", value}});
    return QCborValue(document).toCbor();
}

// A document with the one property "P", its value given as raw CBOR, and the map's entries
// in the order given.
QByteArray rawDocument(const QByteArray &valueHex, bool propertiesFirst = false,
                       const QByteArray &extraHex = {}) {
    const QByteArray format = "66" + QByteArray("format").toHex() + "6e" +
                              QByteArray("IxoPropertyBag").toHex() + "67" +
                              QByteArray("version").toHex() + "01";
    const QByteArray properties =
        "6a" + QByteArray("properties").toHex() + "81 82 61" + QByteArray("P").toHex() + valueHex;
    const QByteArray head = extraHex.isEmpty() ? "a3" : "a4";
    return QByteArray::fromHex(
        head + (propertiesFirst ? properties + format : format + properties) + extraHex);
}

// The row's "expected" result, or the error numbered "number" with a description.
template <typename T> void checkConversion(const std::function<T()> &convert) {
    QFETCH(int, number);
    T result{};
    QCOMPARE(errorOf([&] { result = convert(); }), number);
    QTEST(result, "expected");
    QCOMPARE(errorTextOf([&] { convert(); }).isEmpty(), number == 0);
}

// Text as the automation platform reads it.
void textToIntegerRows() {
    const auto text = [](const char *value) { return QVariant(QString::fromLatin1(value)); };
    QTest::newRow("hex upper") << text("&H1F") << 31 << 0;
    QTest::newRow("hex lower") << text("&hff") << 255 << 0;
    QTest::newRow("hex fills sign bit") << text("&HFFFF") << -1 << 0;
    QTest::newRow("hex largest positive") << text("&H7FFF") << 32767 << 0;
    QTest::newRow("hex with spaces") << text("  &HC8 ") << 200 << 0;
    QTest::newRow("octal upper") << text("&O17") << 15 << 0;
    QTest::newRow("octal lower") << text("&o310") << 200 << 0;
    QTest::newRow("octal fills sign bit") << text("&O177777") << -1 << 0;
    QTest::newRow("tab and newline") << text("\t203\r\n") << 203 << 0;
    QTest::newRow("half text to even down") << text("2.5") << 2 << 0;
    QTest::newRow("half text to even up") << text(" 3.5 ") << 4 << 0;
    QTest::newRow("negative half text") << text("-0.5") << 0 << 0;
    QTest::newRow("plus sign") << text("+7") << 7 << 0;
    QTest::newRow("trailing minus") << text("7-") << -7 << 0;
    QTest::newRow("parentheses") << text("(12)") << -12 << 0;
    QTest::newRow("thousands") << text("1,000") << 1000 << 0;
    QTest::newRow("leading point") << text(".5") << 0 << 0;
    QTest::newRow("trailing point") << text("5.") << 5 << 0;
    QTest::newRow("exponent D") << text("1D2") << 100 << 0;
    QTest::newRow("negative exponent") << text("2500E-1") << 250 << 0;
    QTest::newRow("hex beyond 16 bits") << text("&H10000") << 0 << Err::Overflow;
    QTest::newRow("huge exponent") << text("1e400") << 0 << Err::Overflow;
    QTest::newRow("hex without digits") << text("&H") << 0 << Err::TypeMismatch;
    QTest::newRow("hex bad digit") << text("&HG1") << 0 << Err::TypeMismatch;
    QTest::newRow("octal bad digit") << text("&O8") << 0 << Err::TypeMismatch;
    QTest::newRow("other prefix") << text("&B1") << 0 << Err::TypeMismatch;
    QTest::newRow("hex fraction") << text("&H1.5") << 0 << Err::TypeMismatch;
    QTest::newRow("signed hex") << text("-&H1") << 0 << Err::TypeMismatch;
    QTest::newRow("spaces only") << text("   ") << 0 << Err::TypeMismatch;
    QTest::newRow("space inside") << text("2 03") << 0 << Err::TypeMismatch;
    QTest::newRow("two signs") << text("+-1") << 0 << Err::TypeMismatch;
    QTest::newRow("sign in parentheses") << text("(-1)") << 0 << Err::TypeMismatch;
    QTest::newRow("signs at both ends") << text("-1-") << 0 << Err::TypeMismatch;
    QTest::newRow("leading comma") << text(",5") << 0 << Err::TypeMismatch;
    QTest::newRow("double comma") << text("1,,0") << 0 << Err::TypeMismatch;
    QTest::newRow("point only") << text(".") << 0 << Err::TypeMismatch;
    QTest::newRow("exponent without digits") << text("1e") << 0 << Err::TypeMismatch;
    QTest::newRow("infinity") << text("inf") << 0 << Err::TypeMismatch;
}

} // namespace

// Variant conversions, collections and property bags, the automation types the classes build on.
class TestAutomation : public QObject {
    Q_OBJECT

private slots:
    void toInteger_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("number"); // of the error, 0 when the conversion succeeds
        QTest::newRow("empty") << QVariant() << 0 << 0;
        QTest::newRow("true") << QVariant(true) << -1 << 0;
        QTest::newRow("short") << QVariant::fromValue<qint16>(-32768) << -32768 << 0;
        QTest::newRow("long in range") << QVariant(32767) << 32767 << 0;
        QTest::newRow("half rounds to even down") << QVariant(2.5) << 2 << 0;
        QTest::newRow("half rounds to even up") << QVariant(3.5) << 4 << 0;
        QTest::newRow("negative half") << QVariant(-2.5) << -2 << 0;
        QTest::newRow("above half") << QVariant(2.51) << 3 << 0;
        QTest::newRow("single") << QVariant::fromValue(1.5f) << 2 << 0;
        QTest::newRow("text") << QVariant(QStringLiteral("203")) << 203 << 0;
        QTest::newRow("text negative") << QVariant(QStringLiteral("-1")) << -1 << 0;
        QTest::newRow("empty text") << QVariant(QString()) << 0 << Err::TypeMismatch;
        QTest::newRow("letters") << QVariant(QStringLiteral("abc")) << 0 << Err::TypeMismatch;
        QTest::newRow("hex") << QVariant(QStringLiteral("0x10")) << 0 << Err::TypeMismatch;
        QTest::newRow("bytes") << QVariant(QByteArray("12")) << 0 << Err::TypeMismatch;
        QTest::newRow("above range") << QVariant(32768) << 0 << Err::Overflow;
        QTest::newRow("text above range")
            << QVariant(QStringLiteral("40000")) << 0 << Err::Overflow;
        QTest::newRow("rounds above range") << QVariant(32767.5) << 0 << Err::Overflow;
        QTest::newRow("below range") << QVariant(-32769) << 0 << Err::Overflow;
        QTest::newRow("null") << QVariant::fromValue(nullptr) << 0 << Err::InvalidUseOfNull;
        textToIntegerRows();
    }

    void toLong_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<qint64>("expected");
        QTest::addColumn<int>("number");
        const auto text = [](const char *value) { return QVariant(QString::fromLatin1(value)); };
        QTest::newRow("hex 16 bits stays positive") << text("&HFFFF") << qint64(65535) << 0;
        QTest::newRow("hex fills sign bit") << text("&HFFFFFFFF") << qint64(-1) << 0;
        QTest::newRow("hex lowest") << text("&h80000000") << qint64(INT32_MIN) << 0;
        QTest::newRow("octal") << text("&O37777777777") << qint64(-1) << 0;
        QTest::newRow("hex beyond 32 bits") << text("&H100000000") << qint64(0) << Err::Overflow;
        QTest::newRow("hex beyond 64 bits")
            << text("&H1FFFFFFFFFFFFFFFF") << qint64(0) << Err::Overflow;
        QTest::newRow("half to even") << text(" 100000.5 ") << qint64(100000) << 0;
        QTest::newRow("above range") << text("2147483648") << qint64(0) << Err::Overflow;
        QTest::newRow("letters") << text("12ab") << qint64(0) << Err::TypeMismatch;
    }

    void toNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::addColumn<int>("number");
        QTest::newRow("decimal keeps its fraction") << " 2.5 " << 2.5 << 0;
        QTest::newRow("hex of a Long") << "&HFFFFFFFF" << -1.0 << 0;
        QTest::newRow("hex of 16 bits") << "&HFFFF" << 65535.0 << 0;
        QTest::newRow("hex beyond a Long") << "&H100000000" << 0.0 << Err::Overflow;
        QTest::newRow("parentheses") << "(2.25)" << -2.25 << 0;
    }

    void toNumber() {
        QFETCH(QString, text);
        checkConversion<double>([&] { return VariantConvert::toNumber(text); });
    }

    void toLong() {
        QFETCH(QVariant, value);
        checkConversion<qint64>([&] { return VariantConvert::toLong(value); });
    }

    void toInteger() {
        QFETCH(QVariant, value);
        checkConversion<int>([&] { return VariantConvert::toInteger(value); });
    }

    void toString_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QVariant() << QString();
        QTest::newRow("text kept with spaces") << QVariant(QStringLiteral(" a ")) << " a ";
        QTest::newRow("boolean") << QVariant(false) << QStringLiteral("False");
        QTest::newRow("integer") << QVariant::fromValue<qint16>(-7) << QStringLiteral("-7");
        QTest::newRow("double") << QVariant(0.1) << QStringLiteral("0.1");
    }

    void toString() {
        QFETCH(QVariant, value);
        QTEST(VariantConvert::toString(value), "expected");
    }

    void itemAndRemove_data() {
        QTest::addColumn<QVariant>("index");
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("number"); // of the error Item and Remove raise
        QTest::addColumn<QString>("remaining");
        const auto key = [](const char *text) { return QVariant(QString::fromLatin1(text)); };
        QTest::newRow("key") << key("Beta") << QStringLiteral("b") << 0 << QStringLiteral("ac");
        QTest::newRow("upper key") << key("GAMMA") << QStringLiteral("c") << 0 << "ab";
        QTest::newRow("lower key") << key("alpha") << QStringLiteral("a") << 0 << "bc";
        QTest::newRow("first") << QVariant(1) << QStringLiteral("a") << 0 << "bc";
        QTest::newRow("last") << QVariant(3) << QStringLiteral("c") << 0 << "ab";
        QTest::newRow("missing key")
            << key("Delta") << QString() << Err::InvalidProcedureCall << "abc";
        QTest::newRow("index 0") << QVariant(0) << QString() << Err::SubscriptOutOfRange << "abc";
        QTest::newRow("past end") << QVariant(4) << QString() << Err::SubscriptOutOfRange << "abc";
        QTest::newRow("negative") << QVariant(-1) << QString() << Err::SubscriptOutOfRange << "abc";
    }

    void itemAndRemove() {
        QFETCH(QVariant, index);
        QFETCH(int, number);
        QFETCH(QString, remaining);
        Abc list;
        QString item;
        QCOMPARE(errorOf([&] { item = list.Item(index).toString(); }), number);
        QTEST(item, "item");
        QCOMPARE(list.containsKey(index.toString()),
                 index.typeId() == QMetaType::QString && number == 0);
        QCOMPARE(errorOf([&] { list.Remove(index); }), number);
        QCOMPARE(list.items(), remaining);
        // The keys of the remaining items still lead to their own items.
        for (const auto &[key, value] : {std::pair{"Alpha", "a"}, {"Beta", "b"}, {"Gamma", "c"}}) {
            if (remaining.contains(QLatin1String(value)))
                QCOMPARE(list.Item(QString::fromLatin1(key)).toString(), QLatin1String(value));
            else
                QVERIFY(!list.containsKey(QString::fromLatin1(key)));
        }
    }

    void keysAreUniqueInAnyCase() {
        Abc list;
        QCOMPARE(errorOf([&] { list.Add(QStringLiteral("x"), QStringLiteral("ALPHA")); }),
                 Err::DuplicateKey);
        QCOMPARE(list.items(), QStringLiteral("abc"));
        // A removed key is free again.
        list.Remove(QStringLiteral("Beta"));
        list.Add(QStringLiteral("B"), QStringLiteral("BETA"));
        QCOMPARE(list.items(), QStringLiteral("acB"));
        QCOMPARE(list.Item(QStringLiteral("beta")).toString(), QStringLiteral("B"));
        QCOMPARE(list.Item(QStringLiteral("alpha")).toString(), QStringLiteral("a"));
    }

    void caseFoldMatchesQt_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("lower") << QStringLiteral("state 12");
        QTest::newRow("mixed ASCII") << QStringLiteral("StateinfoNumStates @[`{Z");
        QTest::newRow("Latin-1") << QStringLiteral("STRA\u00DFE \u00C4rger");
        QTest::newRow("Greek") << QStringLiteral("\u03A3\u03B1\u03C2");
        QTest::newRow("Kelvin sign") << QStringLiteral("\u212A");
    }

    void caseFoldMatchesQt() {
        QFETCH(QString, text);
        QCOMPARE(ixo::CaseFold::fold(text), text.toCaseFolded());
    }

    void roundTripKeepsTypeAndValue_data() { ixo::test::addVariantRows(); }

    void roundTripKeepsTypeAndValue() {
        QFETCH(QVariant, value);
        PropertyBag written;
        written.WriteProperty(QStringLiteral("Before"), 1);
        written.WriteProperty(QStringLiteral("Value"), value);
        PropertyBag read;
        read.setContents(written.Contents());
        ixo::test::compareVariants(read.ReadProperty(QStringLiteral("Value")), value);
    }

    void unstorableTypeRefused() {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Kept"), 1);
        for (const QVariant &value : {QVariant(QPoint(1, 2)), QVariant(QVariantList{QPoint(1, 2)})})
            QCOMPARE(errorOf([&] { bag.WriteProperty(QStringLiteral("Bad"), value); }),
                     Err::TypeMismatch);
        QCOMPARE(bag.names(), QStringList{QStringLiteral("Kept")});
    }

    void defaults() {
        PropertyBag bag;
        QCOMPARE(errorOf([&] { bag.ReadProperty(QStringLiteral("StateinfoNumStates")); }),
                 Err::DataValueNotFound);
        QCOMPARE(errorTextOf([&] { bag.ReadProperty(QStringLiteral("NumStates")); }),
                 QStringLiteral("Data value named 'NumStates' not found"));
        QCOMPARE(bag.ReadProperty(QStringLiteral("x"), QStringLiteral("d")).toString(),
                 QStringLiteral("d"));
        // A value equal to the default is not stored.
        bag.WriteProperty(QStringLiteral("CountryCode"), 0, 0);
        QVERIFY(!bag.contains(QStringLiteral("CountryCode")));
        bag.WriteProperty(QStringLiteral("CountryCode"), 49, 0);
        QCOMPARE(bag.ReadProperty(QStringLiteral("CountryCode"), 0).toInt(), 49);
        // Same number, other type: not the default, so it is stored.
        bag.WriteProperty(QStringLiteral("Short"), QVariant::fromValue<qint16>(0), 0);
        QVERIFY(bag.contains(QStringLiteral("Short")));
        // Writing the default again removes an earlier value.
        bag.WriteProperty(QStringLiteral("CountryCode"), 0, 0);
        QCOMPARE(bag.ReadProperty(QStringLiteral("CountryCode"), 7).toInt(), 7);
    }

    void malformedContentsRefused_data() {
        QTest::addColumn<QVariant>("contents");
        QTest::addColumn<int>("number");
        PropertyBag valid;
        valid.WriteProperty(QStringLiteral("Name"), QStringLiteral("a fairly long value"));
        const QByteArray good = valid.Contents();
        const int bad = Err::InvalidFileFormat;
        QTest::newRow("not a byte array")
            << QVariant(QString::fromLatin1(good)) << Err::TypeMismatch;
        QTest::newRow("empty") << QVariant(QByteArray()) << bad;
        QTest::newRow("garbage") << QVariant(QByteArray("hello world")) << bad;
        QTest::newRow("truncated") << QVariant(good.left(good.size() - 3)) << bad;
        QTest::newRow("trailing data") << QVariant(good + '\0') << bad;
        QTest::newRow("newer version") << QVariant(documentWith(QCborArray{8, "x"}, 2)) << bad;
        QTest::newRow("integer out of range")
            << QVariant(documentWith(QCborArray{2, 40000})) << bad;
        QTest::newRow("string typed as bytes")
            << QVariant(documentWith(QCborArray{0x2011, "text"})) << bad;
        QTest::newRow("bytes typed as string")
            << QVariant(documentWith(QCborArray{8, QByteArray("raw")})) << bad;
        QTest::newRow("string typed as bytes in an array")
            << QVariant(documentWith(QCborArray{0x200C, QCborArray{QCborArray{0x2011, "text"}}}))
            << bad;
        QTest::newRow("unknown type") << QVariant(documentWith(QCborArray{77, 1})) << bad;
        QTest::newRow("bare value") << QVariant(documentWith(5)) << bad;
        // A byte string claiming 4 GiB, and an array claiming 2^60 elements, in a few bytes.
        QTest::newRow("hostile byte length")
            << QVariant(QByteArray::fromHex("a1 64 66726d74 5a ffffffff 00")) << bad;
        QTest::newRow("hostile array length")
            << QVariant(QByteArray::fromHex("9b 1000000000000000 01")) << bad;
        QTest::newRow("integer below 64 bits")
            << QVariant(rawDocument("82 14 3b 8000000000000000")) << bad;
        QTest::newRow("chunked bytes cut off")
            << QVariant(rawDocument("82 19 2011 5f 42 6162")) << bad;
        QTest::newRow("byte length past the end")
            << QVariant(rawDocument("82 19 2011 45 6162")) << bad;
        QTest::newRow("no format")
            << QVariant(QByteArray::fromHex("a2 67" + QByteArray("version").toHex() + "01 6a" +
                                            QByteArray("properties").toHex() + "80"))
            << bad;
        // Objects inside objects, each level a few bytes: refused before any class is made.
        QByteArray nested = "81 00";
        for (int level = 0; level < 100; ++level)
            nested = "83 09 61" + QByteArray("X").toHex() + rawDocument(nested).toHex();
        QTest::newRow("objects nested too deeply") << QVariant(rawDocument(nested)) << bad;
        QTest::newRow("deep nesting") << QVariant(QByteArray(100000, '\x81') + '\x01') << bad;
    }

    // Documents another CBOR writer could make for the same values.
    void otherEncodingsRead_data() {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QVariant>("expected");
        const QVariant abc = QByteArray("abc");
        QTest::newRow("bytes in chunks") << rawDocument("82 19 2011 5f 42 6162 41 63 ff") << abc;
        QTest::newRow("one-byte length") << rawDocument("82 19 2011 58 03 616263") << abc;
        QTest::newRow("two-byte length") << rawDocument("82 19 2011 59 0003 616263") << abc;
        QTest::newRow("eight-byte length")
            << rawDocument("82 19 2011 5b 0000000000000003 616263") << abc;
        QTest::newRow("text in chunks")
            << rawDocument("82 08 7f 62 6162 61 63 ff") << QVariant(QStringLiteral("abc"));
        QTest::newRow("half-precision double") << rawDocument("82 05 f9 3e00") << QVariant(1.5);
        QTest::newRow("single-precision single")
            << rawDocument("82 04 fa 3fc00000") << QVariant::fromValue(1.5f);
        QTest::newRow("indefinite value array") << rawDocument("9f 19 2011 43 616263 ff") << abc;
        QTest::newRow("properties first") << rawDocument("82 19 2011 43 616263", true) << abc;
        QTest::newRow("unknown key")
            << rawDocument("82 19 2011 43 616263", false, "63 78797a 80") << abc;
        QTest::newRow("lowest 64-bit integer")
            << rawDocument("82 14 3b 7fffffffffffffff")
            << QVariant::fromValue(std::numeric_limits<qint64>::min());
    }

    void otherEncodingsRead() {
        QFETCH(QByteArray, document);
        PropertyBag bag;
        bag.setContents(document);
        QFETCH(QVariant, expected);
        ixo::test::compareVariants(bag.ReadProperty(QStringLiteral("P")), expected);
    }

    // The same bytes any CBOR encoder writes for this layout, also streamed by a bag that read
    // them; bytes read are the reader's own, whatever happens to the document.
    void contentsAreStandardCbor() {
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Text"), QStringLiteral("Grüße"));
        bag.WriteProperty(QStringLiteral("Long"), -100000);
        bag.WriteProperty(QStringLiteral("Big"), QVariant::fromValue(qint64(1) << 40));
        bag.WriteProperty(QStringLiteral("Real"), 1.25);
        bag.WriteProperty(QStringLiteral("Flag"), true);
        bag.WriteProperty(QStringLiteral("Data"), QByteArray(100000, 'z'));
        bag.WriteProperty(QStringLiteral("List"), QVariantList{QVariant(), 7});
        const QCborArray properties{
            QCborArray{"Text", QCborArray{8, QStringLiteral("Grüße")}},
            QCborArray{"Long", QCborArray{3, -100000}},
            QCborArray{"Big", QCborArray{20, qint64(1) << 40}},
            QCborArray{"Real", QCborArray{5, 1.25}},
            QCborArray{"Flag", QCborArray{11, true}},
            QCborArray{"Data", QCborArray{0x2011, QByteArray(100000, 'z')}},
            QCborArray{"List", QCborArray{0x200C, QCborArray{QCborArray{0}, QCborArray{3, 7}}}}};
        QCborMap document;
        document.insert(QStringLiteral("format"), QStringLiteral("IxoPropertyBag"));
        document.insert(QStringLiteral("version"), 1);
        document.insert(QStringLiteral("properties"), properties);
        const QByteArray expected = QCborValue(document).toCbor();
        QCOMPARE(bag.Contents().toHex(), expected.toHex());
        QByteArray contents = bag.Contents(), streamed;
        QVariant data;
        {
            PropertyBag reread;
            reread.setContents(contents);
            data = reread.ReadProperty(QStringLiteral("Data"));
            QBuffer buffer(&streamed);
            buffer.open(QIODevice::WriteOnly);
            reread.writeContents(buffer);
        }
        contents.fill('\0');
        QCOMPARE(streamed, expected);
        QCOMPARE(data.toByteArray(), QByteArray(100000, 'z'));
    }

    void malformedContentsRefused() {
        QFETCH(QVariant, contents);
        PropertyBag bag;
        bag.WriteProperty(QStringLiteral("Kept"), QStringLiteral("old"));
        QTEST(errorOf([&] { bag.setContents(contents); }), "number");
        QCOMPARE(bag.ReadProperty(QStringLiteral("Kept")).toString(), QStringLiteral("old"));
    }
};

QTEST_APPLESS_MAIN(TestAutomation)
#include "tst_automation.moc"
