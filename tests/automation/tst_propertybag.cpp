#include "AutomationAssert.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/ObjectRef.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"

#include <QCborArray>
#include <QCborMap>
#include <QDateTime>
#include <QPoint>
#include <QTest>

using ixo::AutomationError;
using ixo::PropertyBag;
using ixo::VariantType;
using ixo::test::errorOf;
namespace Err = ixo::ErrorNumber;

namespace {

QByteArray documentWith(const QCborValue &value, qint64 version = PropertyBag::kFormatVersion) {
    QCborMap document;
    document.insert(QStringLiteral("format"), QStringLiteral("IxoPropertyBag"));
    document.insert(QStringLiteral("version"), version);
    document.insert(QStringLiteral("properties"), QCborArray{QCborArray{"P", value}});
    return QCborValue(document).toCbor();
}

} // namespace

class TestPropertyBag : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ixo::TypeLibrary::registerServer(); }
    void roundTripKeepsTypeAndValue_data();
    void roundTripKeepsTypeAndValue();
    void unstorableTypeRefused();
    void readWithoutDefault();
    void writeWithDefault();
    void persistableObjectByProgId();
    void malformedContentsRefused_data();
    void malformedContentsRefused();
};

void TestPropertyBag::roundTripKeepsTypeAndValue_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<VariantType>("type");
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes.append(static_cast<char>(i));
    const QDateTime date(QDate(2026, 12, 6), QTime(13, 45, 7, 250), Qt::UTC);
    QTest::newRow("Empty") << QVariant() << VariantType::Empty;
    QTest::newRow("Null") << QVariant::fromValue(nullptr) << VariantType::Null;
    QTest::newRow("Boolean") << QVariant(true) << VariantType::Boolean;
    QTest::newRow("Byte") << QVariant::fromValue<quint8>(255) << VariantType::Byte;
    QTest::newRow("Integer") << QVariant::fromValue<qint16>(-32768) << VariantType::Integer;
    QTest::newRow("Long") << QVariant::fromValue<qint32>(-2147483647 - 1) << VariantType::Long;
    QTest::newRow("LongLong") << QVariant::fromValue<qint64>(Q_INT64_C(9007199254740993))
                              << VariantType::LongLong;
    QTest::newRow("Single") << QVariant::fromValue(0.1f) << VariantType::Single;
    QTest::newRow("Double") << QVariant(0.1) << VariantType::Double;
    QTest::newRow("Date") << QVariant(date) << VariantType::Date;
    QTest::newRow("String") << QVariant(QStringLiteral("  Zürich \r\n ")) << VariantType::String;
    QTest::newRow("empty String") << QVariant(QString()) << VariantType::String;
    QTest::newRow("byte array") << QVariant(allBytes) << VariantType::ByteArray;
    QTest::newRow("empty byte array") << QVariant(QByteArray()) << VariantType::ByteArray;
    QTest::newRow("array") << QVariant(
                                  QVariantList{QVariant::fromValue<qint16>(1), QStringLiteral("x"),
                                               QVariantList{QVariant(), QByteArray("\0\1", 2)}})
                           << VariantType::Array;
}

void TestPropertyBag::roundTripKeepsTypeAndValue() {
    QFETCH(QVariant, value);
    QFETCH(VariantType, type);
    PropertyBag written;
    written.WriteProperty(QStringLiteral("Before"), 1);
    written.WriteProperty(QStringLiteral("Value"), value);
    PropertyBag read;
    read.setContents(written.Contents());
    const QVariant back = read.ReadProperty(QStringLiteral("Value"));
    QCOMPARE(ixo::variantTypeOf(back), type);
    QVERIFY2(PropertyBag::sameValue(back, value), qPrintable(back.toString()));
    if (type == VariantType::Array) {
        const QVariant inner = back.toList().at(2).toList().at(1);
        QCOMPARE(ixo::variantTypeOf(inner), VariantType::ByteArray);
        QCOMPARE(inner.toByteArray(), QByteArray("\0\1", 2));
    }
}

void TestPropertyBag::unstorableTypeRefused() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Kept"), 1);
    QCOMPARE(errorOf([&] { bag.WriteProperty(QStringLiteral("Point"), QPoint(1, 2)); }),
             Err::TypeMismatch);
    QCOMPARE(
        errorOf([&] { bag.WriteProperty(QStringLiteral("List"), QVariantList{QPoint(1, 2)}); }),
        Err::TypeMismatch);
    QCOMPARE(bag.names(), QStringList{QStringLiteral("Kept")});
}

void TestPropertyBag::readWithoutDefault() {
    PropertyBag bag;
    try {
        bag.ReadProperty(QStringLiteral("StateinfoNumStates"));
        QFAIL("reading an absent property did not fail");
    } catch (const AutomationError &error) {
        QCOMPARE(error.number(), Err::DataValueNotFound);
        QCOMPARE(error.description(),
                 QStringLiteral("Data value named 'StateinfoNumStates' not found"));
    }
    QCOMPARE(bag.ReadProperty(QStringLiteral("x"), QStringLiteral("d")).toString(),
             QStringLiteral("d"));
}

void TestPropertyBag::writeWithDefault() {
    PropertyBag bag;
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

void TestPropertyBag::persistableObjectByProgId() {
    auto list = std::make_shared<ixo::StateInfo>();
    auto state = std::make_shared<ixo::ItemStateInfo>();
    state->setName(QStringLiteral("Carrier"));
    state->setData(QByteArray("FREQ 1E9"));
    list->Items()->Add(QVariant::fromValue<ixo::ObjectRef>(state), state->Name());
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("StateInfo"), QVariant::fromValue<ixo::ObjectRef>(list));
    bag.WriteProperty(QStringLiteral("Nothing"), QVariant::fromValue(ixo::ObjectRef()));
    PropertyBag read;
    read.setContents(bag.Contents());
    const auto back = std::dynamic_pointer_cast<ixo::StateInfo>(
        read.ReadProperty(QStringLiteral("StateInfo")).value<ixo::ObjectRef>());
    QVERIFY(back);
    QVERIFY(back != list);
    QCOMPARE(back->item(1)->Name(), QStringLiteral("Carrier"));
    QCOMPARE(back->item(1)->data().toByteArray(), QByteArray("FREQ 1E9"));
    QVERIFY(!read.ReadProperty(QStringLiteral("Nothing")).value<ixo::ObjectRef>());

    // An object the registry cannot create fails to read instead of loading as Nothing.
    ixo::TypeLibrary::unregisterServer();
    const int number = errorOf([&] { read.ReadProperty(QStringLiteral("StateInfo")); });
    ixo::TypeLibrary::registerServer();
    QCOMPARE(number, Err::CannotCreateObject);
}

void TestPropertyBag::malformedContentsRefused_data() {
    QTest::addColumn<QVariant>("contents");
    QTest::addColumn<int>("number");
    PropertyBag valid;
    valid.WriteProperty(QStringLiteral("Name"), QStringLiteral("a fairly long value"));
    const QByteArray good = valid.Contents();
    QTest::newRow("not a byte array") << QVariant(QString::fromLatin1(good)) << Err::TypeMismatch;
    QTest::newRow("empty") << QVariant(QByteArray()) << Err::InvalidFileFormat;
    QTest::newRow("garbage") << QVariant(QByteArray("hello world")) << Err::InvalidFileFormat;
    QTest::newRow("truncated") << QVariant(good.left(good.size() - 3)) << Err::InvalidFileFormat;
    QTest::newRow("trailing data") << QVariant(good + '\0') << Err::InvalidFileFormat;
    QTest::newRow("newer version")
        << QVariant(documentWith(QCborArray{8, "x"}, 2)) << Err::InvalidFileFormat;
    QTest::newRow("integer out of range")
        << QVariant(documentWith(QCborArray{2, 40000})) << Err::InvalidFileFormat;
    QTest::newRow("string typed as bytes")
        << QVariant(documentWith(QCborArray{0x2011, "text"})) << Err::InvalidFileFormat;
    QTest::newRow("unknown type") << QVariant(documentWith(QCborArray{77, 1}))
                                  << Err::InvalidFileFormat;
    QTest::newRow("bare value") << QVariant(documentWith(5)) << Err::InvalidFileFormat;
    // A byte string claiming 4 GiB, and an array claiming 2^60 elements, in a few bytes.
    QTest::newRow("hostile byte length")
        << QVariant(QByteArray::fromHex("a1 64 66726d74 5a ffffffff 00")) << Err::InvalidFileFormat;
    QTest::newRow("hostile array length")
        << QVariant(QByteArray::fromHex("9b 1000000000000000 01")) << Err::InvalidFileFormat;
    QByteArray deep(100000, '\x81');
    deep.append('\x01');
    QTest::newRow("deep nesting") << QVariant(deep) << Err::InvalidFileFormat;
}

void TestPropertyBag::malformedContentsRefused() {
    QFETCH(QVariant, contents);
    QFETCH(int, number);
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Kept"), QStringLiteral("old"));
    QCOMPARE(errorOf([&] { bag.setContents(contents); }), number);
    QCOMPARE(bag.ReadProperty(QStringLiteral("Kept")).toString(), QStringLiteral("old"));
}

QTEST_APPLESS_MAIN(TestPropertyBag)
#include "tst_propertybag.moc"
