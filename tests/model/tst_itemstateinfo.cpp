#include "AutomationAssert.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "model/ItemStateInfo.h"
#include "server/TypeLibrary.h"
#include "support/SimulatedInstrument.h"

#include <QTest>

using ixo::ItemStateInfo;
using ixo::PropertyBag;
using ixo::test::errorOf;
namespace Err = ixo::ErrorNumber;

class TestItemStateInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ixo::TypeLibrary::registerServer(); }
    void createdByProgIdWithInitialValues();
    void contentsWriteFivePropertiesInOrder();
    void contentsRoundTrip_data();
    void contentsRoundTrip();
    void missingPropertiesTakeDefaults();
    void badContentsChangeNothing_data();
    void badContentsChangeNothing();
    void failureMidwayKeepsEarlierFields();
    void initTakesModelAndVersionOnly();
    void initFailures();
};

void TestItemStateInfo::createdByProgIdWithInitialValues() {
    const auto object = ixo::ClassRegistry::instance().create("ixoinstrsetups.itemstateinfo");
    const auto state = std::dynamic_pointer_cast<ItemStateInfo>(object);
    QVERIFY(state);
    for (const char *name : {"Name", "Description", "Model", "Version"})
        QCOMPARE(state->property(name), QVariant(QString()));
    QVERIFY(!state->property("data").isValid());
    const auto identity = ixo::ClassRegistry::instance().identity("IxoInstrSetups.ItemStateInfo");
    QCOMPARE(identity->classId, QUuid("{58B2A885-EBBF-4CFB-AE81-3C2F30074ACA}"));
    QCOMPARE(identity->interfaceId, QUuid("{BAB329AA-150D-4B98-94AC-24A8ED2F9B78}"));
}

void TestItemStateInfo::contentsWriteFivePropertiesInOrder() {
    ItemStateInfo state;
    const QVariant contents = state.WritePropertiesToVariant();
    QCOMPARE(ixo::variantTypeOf(contents), ixo::VariantType::ByteArray);
    PropertyBag bag;
    bag.setContents(contents);
    QCOMPARE(bag.names(), (QStringList{"Name", "Description", "Data", "Model", "Version"}));
}

void TestItemStateInfo::contentsRoundTrip_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("data");
    QTest::newRow("bytes, padded name") << "  State 1  " << QVariant(QByteArray("\0\xff\x10", 3));
    QTest::newRow("empty name, text data") << "" << QVariant(QStringLiteral("*RST;:FREQ 1E9"));
    QTest::newRow("long data") << "x" << QVariant(QByteArray(1 << 20, 'q'));
    QTest::newRow("array data") << "y" << QVariant(QVariantList{QVariant::fromValue<qint16>(3)});
}

void TestItemStateInfo::contentsRoundTrip() {
    QFETCH(QString, name);
    QFETCH(QVariant, data);
    ItemStateInfo source;
    source.setName(name);
    source.setDescription(QStringLiteral(" desc "));
    source.setData(data);
    source.setModel(QStringLiteral("M"));
    source.setVersion(QStringLiteral("v1 "));
    ItemStateInfo target;
    target.ReadPropertiesFromVariant(source.WritePropertiesToVariant());
    QCOMPARE(target.Name(), name);
    QCOMPARE(target.Description(), QStringLiteral(" desc "));
    QCOMPARE(target.Model(), QStringLiteral("M"));
    QCOMPARE(target.Version(), QStringLiteral("v1 "));
    QCOMPARE(ixo::variantTypeOf(target.data()), ixo::variantTypeOf(data));
    QVERIFY(PropertyBag::sameValue(target.data(), data));
}

void TestItemStateInfo::missingPropertiesTakeDefaults() {
    PropertyBag bag;
    bag.WriteProperty("Name", "A");
    bag.WriteProperty("Description", "B");
    bag.WriteProperty("Data", QByteArray("C"));
    ItemStateInfo state;
    state.setModel("old model");
    state.setVersion("old version");
    state.ReadPropertiesFromVariant(bag.Contents());
    QCOMPARE(state.Name(), QStringLiteral("A"));
    QCOMPARE(state.data().toByteArray(), QByteArray("C"));
    QCOMPARE(state.Model(), QString());
    QCOMPARE(state.Version(), QString());
}

void TestItemStateInfo::badContentsChangeNothing_data() {
    QTest::addColumn<QVariant>("contents");
    QTest::addColumn<int>("number");
    QTest::newRow("Empty") << QVariant() << Err::TypeMismatch;
    QTest::newRow("text") << QVariant(QStringLiteral("Name=x")) << Err::TypeMismatch;
    QTest::newRow("garbage bytes") << QVariant(QByteArray("\x01\x02")) << Err::InvalidFileFormat;
}

void TestItemStateInfo::badContentsChangeNothing() {
    QFETCH(QVariant, contents);
    QFETCH(int, number);
    ItemStateInfo state;
    state.setName("kept");
    QCOMPARE(errorOf([&] { state.ReadPropertiesFromVariant(contents); }), number);
    QCOMPARE(state.Name(), QStringLiteral("kept"));
}

void TestItemStateInfo::failureMidwayKeepsEarlierFields() {
    PropertyBag bag;
    bag.WriteProperty("Name", "new");
    bag.WriteProperty("Description", QVariant::fromValue(nullptr)); // cannot become a String
    ItemStateInfo state;
    state.setName("old");
    state.setDescription("old");
    QCOMPARE(errorOf([&] { state.ReadPropertiesFromVariant(bag.Contents()); }),
             Err::InvalidUseOfNull);
    QCOMPARE(state.Name(), QStringLiteral("new"));
    QCOMPARE(state.Description(), QStringLiteral("old"));
}

void TestItemStateInfo::initTakesModelAndVersionOnly() {
    auto instrument = std::make_shared<ixo::SimulatedInstrument>("SG-7", "1.0");
    ItemStateInfo state;
    state.setName("named first");
    state.setData(1);
    state.Init(instrument);
    QCOMPARE(state.Name(), QStringLiteral("named first"));
    QCOMPARE(state.data().toInt(), 1);
    QCOMPARE(state.Model(), QStringLiteral("SG-7"));
    QCOMPARE(state.Version(), QStringLiteral("1.0"));
}

void TestItemStateInfo::initFailures() {
    ItemStateInfo state;
    QCOMPARE(errorOf([&] { state.Init(nullptr); }), Err::ObjectNotSet);

    // Model succeeds, Version fails: the model is already taken.
    class FailingVersion : public ixo::SimulatedInstrument {
    public:
        QString Version() override { throw ixo::AutomationError(-5, "instrument", "timeout"); }
    };
    QCOMPARE(errorOf([&] { state.Init(std::make_shared<FailingVersion>()); }), -5);
    QCOMPARE(state.Model(), ixo::SimulatedInstrument::kDefaultModel);
    QCOMPARE(state.Version(), QString());
}

QTEST_APPLESS_MAIN(TestItemStateInfo)
#include "tst_itemstateinfo.moc"
