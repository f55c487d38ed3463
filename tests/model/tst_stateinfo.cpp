#include "AutomationAssert.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/SimulatedInstrument.h"

#include <QTest>

using ixo::Collection;
using ixo::ItemStateInfo;
using ixo::ObjectRef;
using ixo::PropertyBag;
using ixo::StateInfo;
using ixo::test::errorOf;
namespace Err = ixo::ErrorNumber;

namespace {

std::shared_ptr<ItemStateInfo> makeState(int i) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(QStringLiteral("State %1").arg(i));
    state->setDescription(QStringLiteral("description %1").arg(i));
    state->setData(QByteArray::number(i * 31));
    state->setModel(i % 2 ? "SG-100" : "SG-200");
    state->setVersion(QStringLiteral("1.%1").arg(i % 5));
    return state;
}

void addState(StateInfo &list, const std::shared_ptr<ItemStateInfo> &state) {
    list.Items()->Add(QVariant::fromValue<ObjectRef>(state), state->Name());
}

QByteArray itemContents(const QString &name) {
    ItemStateInfo state;
    state.setName(name);
    return state.WritePropertiesToVariant().toByteArray();
}

} // namespace

class TestStateInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ixo::TypeLibrary::registerServer(); }
    void createdByProgId();
    void saveAndLoad_data();
    void saveAndLoad();
    void tooManyStatesOverflowBeforeWriting();
    void countDecidesHowManyAreRead();
    void duplicateNamesDifferingInCase();
    void badCount_data();
    void badCount();
    void missingEntryFails();
    void foreignElementFailsWrite();
    void setupInterfaceAndMaskAreNotPersisted();
};

void TestStateInfo::createdByProgId() {
    const auto list = std::dynamic_pointer_cast<StateInfo>(
        ixo::ClassRegistry::instance().create("IxoInstrSetups.StateInfo"));
    QVERIFY(list);
    QCOMPARE(list->Items()->Count(), 0);
    QVERIFY(!list->SetupInterface());
    QCOMPARE(ixo::variantTypeOf(list->LegacyDovetrackFileMask()), ixo::VariantType::String);
    QCOMPARE(ixo::ClassRegistry::instance().identity("IxoInstrSetups.StateInfo")->classId,
             QUuid("{9696E72C-E696-42DB-86B0-6A30113C9487}"));
}

void TestStateInfo::saveAndLoad_data() {
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("twelve") << 12;
    QTest::newRow("largest list") << StateInfo::kMaxStates;
}

void TestStateInfo::saveAndLoad() {
    QFETCH(int, count);
    StateInfo list;
    for (int i = 1; i <= count; ++i)
        addState(list, makeState(i));
    PropertyBag bag;
    list.WriteProperties(bag);
    QStringList keys{"StateinfoNumStates"};
    for (int i = 1; i <= count; ++i)
        keys << QStringLiteral("Stateinfoitem%1").arg(i);
    QCOMPARE(bag.names(), keys);
    QCOMPARE(ixo::variantTypeOf(bag.ReadProperty("StateinfoNumStates")), ixo::VariantType::Integer);
    PropertyBag stored;
    stored.setContents(bag.Contents());
    StateInfo loaded;
    loaded.ReadProperties(stored);
    QCOMPARE(loaded.Items()->Count(), count);
    for (int i = 1; i <= count; ++i) {
        const auto expected = makeState(i);
        const auto state = loaded.item(i);
        QCOMPARE(state->Name(), expected->Name());
        QCOMPARE(state->Description(), expected->Description());
        QCOMPARE(state->data().toByteArray(), expected->data().toByteArray());
        QCOMPARE(state->Model(), expected->Model());
        QCOMPARE(state->Version(), expected->Version());
    }
    if (count > 0) {
        const QString last = QStringLiteral("STATE %1").arg(count);
        QCOMPARE(
            std::dynamic_pointer_cast<ItemStateInfo>(loaded.Items()->Item(last).value<ObjectRef>()),
            loaded.item(count));
    }
}

void TestStateInfo::tooManyStatesOverflowBeforeWriting() {
    StateInfo list;
    for (int i = 0; i <= StateInfo::kMaxStates; ++i)
        list.Items()->Add(QVariant::fromValue<ObjectRef>(std::make_shared<ItemStateInfo>()));
    PropertyBag bag;
    QCOMPARE(errorOf([&] { list.WriteProperties(bag); }), Err::Overflow);
    QCOMPARE(bag.count(), 0);
}

void TestStateInfo::countDecidesHowManyAreRead() {
    PropertyBag bag;
    bag.WriteProperty("StateinfoNumStates", QVariant::fromValue<qint16>(2));
    for (const char *name : {"One", "Two", "Three"})
        bag.WriteProperty(QStringLiteral("Stateinfoitem%1").arg(bag.count()), itemContents(name));
    StateInfo list;
    list.ReadProperties(bag);
    QCOMPARE(list.Items()->Count(), 2);
    QCOMPARE(list.item(2)->Name(), QStringLiteral("Two"));
}

void TestStateInfo::duplicateNamesDifferingInCase() {
    PropertyBag bag;
    bag.WriteProperty("StateinfoNumStates", QVariant::fromValue<qint16>(2));
    bag.WriteProperty("Stateinfoitem1", itemContents("Alpha"));
    bag.WriteProperty("Stateinfoitem2", itemContents("ALPHA"));
    StateInfo list;
    QCOMPARE(errorOf([&] { list.ReadProperties(bag); }), Err::DuplicateKey);
    QCOMPARE(list.Items()->Count(), 1);
    QCOMPARE(list.item(1)->Name(), QStringLiteral("Alpha"));
}

void TestStateInfo::badCount_data() {
    QTest::addColumn<QVariant>("count");
    QTest::addColumn<int>("number");
    QTest::newRow("text") << QVariant(QStringLiteral("many")) << Err::TypeMismatch;
    QTest::newRow("too large") << QVariant(40000) << Err::Overflow;
    QTest::newRow("null") << QVariant::fromValue(nullptr) << Err::InvalidUseOfNull;
    QTest::newRow("negative reads nothing") << QVariant(-3) << 0;
    QTest::newRow("count as text") << QVariant(QStringLiteral("1")) << Err::DataValueNotFound;
}

void TestStateInfo::badCount() {
    QFETCH(QVariant, count);
    QFETCH(int, number);
    PropertyBag bag;
    bag.WriteProperty("StateinfoNumStates", count);
    StateInfo list;
    addState(list, makeState(1));
    const ixo::CollectionRef old = list.Items();
    QCOMPARE(errorOf([&] { list.ReadProperties(bag); }), number);
    QCOMPARE(list.Items()->Count(), 0);
    QVERIFY(list.Items() != old);
    QCOMPARE(old->Count(), 1);
}

void TestStateInfo::missingEntryFails() {
    PropertyBag bag;
    StateInfo list;
    QCOMPARE(errorOf([&] { list.ReadProperties(bag); }), Err::DataValueNotFound);
    bag.WriteProperty("StateinfoNumStates", QVariant::fromValue<qint16>(3));
    bag.WriteProperty("Stateinfoitem1", itemContents("a"));
    bag.WriteProperty("Stateinfoitem3", itemContents("c"));
    QCOMPARE(ixo::test::errorTextOf([&] { list.ReadProperties(bag); }),
             QStringLiteral("Data value named 'Stateinfoitem2' not found"));
    QCOMPARE(list.Items()->Count(), 1);
}

void TestStateInfo::foreignElementFailsWrite() {
    StateInfo list;
    addState(list, makeState(1));
    list.Items()->Add(QStringLiteral("not a state"));
    PropertyBag bag;
    QCOMPARE(errorOf([&] { list.WriteProperties(bag); }), Err::TypeMismatch);
    QCOMPARE(bag.names(), (QStringList{"StateinfoNumStates", "Stateinfoitem1"}));
}

void TestStateInfo::setupInterfaceAndMaskAreNotPersisted() {
    auto instrument = std::make_shared<ixo::SimulatedInstrument>();
    StateInfo list;
    list.setSetupInterface(instrument);
    list.setLegacyDovetrackFileMask(QStringLiteral("Old setups (*.set)|*.set"));
    PropertyBag bag;
    list.WriteProperties(bag);
    QCOMPARE(bag.count(), 1);
    list.ReadProperties(bag);
    QCOMPARE(list.SetupInterface(), instrument);

    PropertyBag outer;
    outer.WriteProperty("List", QVariant::fromValue<ObjectRef>(std::make_shared<StateInfo>()));
    PropertyBag reread;
    reread.setContents(outer.Contents());
    const auto loaded =
        std::dynamic_pointer_cast<StateInfo>(reread.ReadProperty("List").value<ObjectRef>());
    QVERIFY(!loaded->SetupInterface());
    QCOMPARE(loaded->LegacyDovetrackFileMask(), QVariant(QString()));
    loaded->setLegacyDovetrackFileMask(12);
    QCOMPARE(loaded->LegacyDovetrackFileMask(), QVariant(QStringLiteral("12")));
}

QTEST_APPLESS_MAIN(TestStateInfo)
#include "tst_stateinfo.moc"
