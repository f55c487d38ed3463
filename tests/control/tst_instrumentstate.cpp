#include "AutomationAssert.h"
#include "ControlHarness.h"
#include "automation/ClassRegistry.h"
#include "automation/PropertyBag.h"
#include "control/SharedEditName.h"
#include "locale/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"
#include "server/ControlLibrary.h"

#include <QGroupBox>
#include <QMap>
#include <QTest>
#include <cmath>

using namespace ixo;
using namespace ixo::test;

namespace {

// A provider whose every text names its id.
class EchoResources : public CIxoResourcesDefault {
public:
    QString LoadResString(std::int32_t id) override { return QStringLiteral("#%1").arg(id); }
    std::int32_t CountryCode() const override { return 7; }
};

// The built-in texts, counting how often each id is asked for.
class CountingResources : public CIxoResourcesDefault {
public:
    QString LoadResString(std::int32_t id) override {
        ++loads[id];
        return CIxoResourcesDefault::LoadResString(id);
    }
    QMap<std::int32_t, int> loads;
};

} // namespace

class TestInstrumentState : public QObject {
    Q_OBJECT

private slots:
    void createdWithEnglishTexts() {
        ControlHarness h;
        InstrumentState &c = h.control;
        QCOMPARE(c.captureNewBtn->text(), QStringLiteral("Capture New..."));
        QCOMPARE(c.restoreBtn->toolTip(),
                 QStringLiteral("Restore highlighted state to instrument"));
        QCOMPARE(c.editNameBtn->text(), QStringLiteral("Edit Name..."));
        QCOMPARE(c.removeBtn->toolTip(),
                 QStringLiteral("Remove the highlighted state from the list"));
        QCOMPARE(c.importBtn->text(), QStringLiteral("Import..."));
        QCOMPARE(c.exportBtn->toolTip(), QStringLiteral("Save the highlighted state to a file"));
        QCOMPARE(c.Frame2->title(), QStringLiteral("Instrument State"));
        QCOMPARE(c.Frame3->title(), QStringLiteral("Optional"));
        QCOMPARE(c.Frame1->title(), QString());
        QCOMPARE(h.view().headerItem()->text(0), QStringLiteral("Name:"));
        QCOMPARE(h.view().headerItem()->text(1), QStringLiteral("Description:"));
        // Runs of this test on screens of 120 and 144 dpi say which resolution they expect.
        const int dpi = c.stateListView->logicalDpiX();
        if (qEnvironmentVariableIsSet("IXO_EXPECT_DPI"))
            QCOMPARE(dpi, qEnvironmentVariableIntValue("IXO_EXPECT_DPI"));
        QCOMPARE(c.stateListView->width(), int(std::lround(3975.0 * dpi / 1440)));
        QCOMPARE(c.stateListView->Width(), 3975.0f);
        QCOMPARE(c.stateListView->ColumnHeaders()->Item(1)->Width(), 1311.75f);
        QCOMPARE(c.stateListView->ColumnHeaders()->Item(2)->Width(), 2663.25f);
        QVERIFY(!h.stateButtonsEnabled() && !c.restoreBtn->isEnabled());
        QVERIFY(c.captureNewBtn->isEnabled() && c.importBtn->isEnabled());
        QVERIFY(!c.InstrumentStateInfo());
    }

    void attachMarksOtherInstruments() {
        ControlHarness h;
        h.attach({{QStringLiteral("Same")},
                  {QStringLiteral("Other version"), QStringLiteral("M100"), QStringLiteral("2.4")},
                  {QStringLiteral("Other model"), QStringLiteral("M200")},
                  {QStringLiteral("Letter case"), QStringLiteral("m100")}});
        QCOMPARE(h.rows(), h.names());
        QCOMPARE(h.view().subItem(2, 1), QStringLiteral("Other version text"));
        QCOMPARE(h.icons(), (QList<int>{0, 2, 2, 2}));
        QVERIFY(!h.view().foreColor(1).isValid());
        QCOMPARE(h.view().foreColor(3), QColor(128, 128, 128));
        QCOMPARE(h.view().topLevelItem(2)->foreground(1).color(), QColor(128, 128, 128));
        QVERIFY(h.stateButtonsEnabled());
        QCOMPARE(h.control.InstrumentStateInfo(), ObjectRef(h.stateInfo));

        h.view().setSmallIcon(1, 1);
        h.control.ClearSelectedIcon();
        QCOMPARE(h.icons(), (QList<int>{0, 2, 2, 2}));

        // A second list replaces the rows of the first.
        auto next = std::make_shared<StateInfo>();
        next->setSetupInterface(h.setup);
        h.control.setInstrumentStateInfo(next);
        QCOMPARE(h.view().rowCount(), 0);
        QVERIFY(!h.stateButtonsEnabled());
    }

    void attachFailures() {
        ControlHarness h;
        QCOMPARE(errorOf([&] { h.control.setInstrumentStateInfo(std::make_shared<QObject>()); }),
                 ErrorNumber::TypeMismatch);
        QCOMPARE(errorOf([&] { h.control.setInstrumentStateInfo(nullptr); }),
                 ErrorNumber::ObjectNotSet);
        h.stateInfo->setItems(nullptr);
        h.control.setInstrumentStateInfo(h.stateInfo);
        QCOMPARE(h.view().rowCount(), 0);
        QVERIFY(!h.stateButtonsEnabled());
    }

    void failedAttachKeepsNoRows_data() {
        QTest::addColumn<bool>("withInstrument");
        QTest::addColumn<bool>("attachedBefore");
        QTest::addColumn<int>("number");
        // Without an instrument the loop stops at the first state.
        const int noInstrument = ErrorNumber::ObjectNotSet, noState = ErrorNumber::TypeMismatch;
        QTest::newRow("no instrument") << false << false << noInstrument;
        QTest::newRow("third item no state") << true << false << noState;
        QTest::newRow("no instrument after a good list") << false << true << noInstrument;
        QTest::newRow("no state after a good list") << true << true << noState;
    }

    void failedAttachKeepsNoRows() {
        QFETCH(bool, withInstrument);
        QFETCH(bool, attachedBefore);
        ControlHarness h;
        if (attachedBefore)
            h.attach({{QStringLiteral("Earlier")}});
        auto list = std::make_shared<StateInfo>();
        if (withInstrument)
            list->setSetupInterface(h.setup);
        for (const char *name : {"A", "B"})
            list->Items()->Add(QVariant::fromValue<ObjectRef>(FakeSetup::state(
                                   name, QString(), h.setup->model, h.setup->version)),
                               QString::fromLatin1(name));
        list->Items()->Add(QVariant::fromValue<ObjectRef>(std::make_shared<QObject>()), "C");
        QTEST(errorOf([&] { h.control.setInstrumentStateInfo(list); }), "number");
        QCOMPARE(h.view().rowCount(), 0);
        QVERIFY(!h.stateButtonsEnabled());
        QCOMPARE(list->Items()->Count(), 3);
        // The list stays attached; commands that start from a row find none.
        QCOMPARE(h.control.InstrumentStateInfo(), ObjectRef(list));
    }

    void creatableByProgId_data() {
        QTest::addColumn<QString>("progId");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QUuid>("classId");
        QTest::addColumn<QUuid>("interfaceId");
        QTest::addColumn<QUuid>("eventInterfaceId");
        const QUuid control("{69B1A2C0-5865-4C44-A8BA-843BF1875C71}");
        const QUuid controlInterface("{54221E6E-71D1-47B3-9E51-54E4B695BD2B}");
        const QUuid controlEvents("{DDB7123B-43A6-47C5-B50A-04E168BE5280}");
        QTest::newRow("control") << "IxoInstrSetups.InstrumentState"
                                 << "ixo::InstrumentState" << control << controlInterface
                                 << controlEvents;
        QTest::newRow("control, any case")
            << "ixoinstrsetups.INSTRUMENTSTATE"
            << "ixo::InstrumentState" << control << controlInterface << controlEvents;
        QTest::newRow("state list")
            << "IxoInstrSetups.StateInfo"
            << "ixo::StateInfo" << QUuid("{9696E72C-E696-42DB-86B0-6A30113C9487}")
            << QUuid("{4927CE84-DD12-43FF-91C0-27ECF82B70D2}") << QUuid();
        QTest::newRow("state, any case")
            << "IXOINSTRSETUPS.ITEMSTATEINFO"
            << "ixo::ItemStateInfo" << QUuid("{58B2A885-EBBF-4CFB-AE81-3C2F30074ACA}")
            << QUuid("{BAB329AA-150D-4B98-94AC-24A8ED2F9B78}") << QUuid();
    }

    void creatableByProgId() {
        QFETCH(QString, progId);
        ControlLibrary::registerServer();
        const ClassRegistry &registry = ClassRegistry::instance();
        const std::optional<ClassIdentity> identity = registry.identity(progId);
        QVERIFY(identity);
        QTEST(identity->className, "className");
        QTEST(identity->classId, "classId");
        QTEST(identity->interfaceId, "interfaceId");
        QTEST(identity->eventInterfaceId, "eventInterfaceId");
        const ObjectRef object = registry.create(progId);
        QVERIFY(object);
        QTEST(QString::fromLatin1(object->metaObject()->className()), "className");
        if (const auto control = std::dynamic_pointer_cast<InstrumentState>(object)) {
            // A control made by ProgID is a whole one, with its texts and no list yet.
            QCOMPARE(control->captureNewBtn->text(), QStringLiteral("Capture New..."));
            QVERIFY(!control->InstrumentStateInfo());
        }
        QCOMPARE(ControlLibrary::creatableControls().size(), 1);
        QCOMPARE(ControlLibrary::creatableControls().front().progId,
                 QStringLiteral("IxoInstrSetups.InstrumentState"));
    }

    void uniqueNames_data() {
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<int>("loads"); // of the prefix, once for each number tried
        QTest::newRow("gap") << QStringList{"State 1", "State 3"} << "State 2" << 2;
        QTest::newRow("letter case") << QStringList{"state 1"} << "State 2" << 2;
        QTest::newRow("empty") << QStringList{} << "State 1" << 1;
        QTest::newRow("all taken") << QStringList{"State 1", "State 2"} << "State 3" << 3;
    }

    void uniqueNames() {
        QFETCH(QStringList, taken);
        ControlHarness h;
        QCOMPARE(h.control.GetUniqueStateName(), QStringLiteral("State 1"));
        QList<QStringList> states;
        for (const QString &name : taken)
            states << QStringList{name};
        h.attach(states);
        const auto counting = std::make_shared<CountingResources>();
        h.control.setResources(counting);
        counting->loads.clear();
        QTEST(h.control.GetUniqueStateName(), "proposed");
        QTEST(counting->loads.value(216), "loads");
        QCOMPARE(counting->loads.size(), 1);
    }

    // Frame3 lies inside Frame1, whose Controls list it again after the control's own.
    void eachControlGetsItsTextsOnce() {
        ControlHarness h;
        const auto counting = std::make_shared<CountingResources>();
        h.control.setResources(counting);
        for (std::int32_t id :
             {202, 203, 204, 205, 206, 207, 208, 209, 235, 236, 237, 238, 240, 241})
            QVERIFY2(counting->loads.value(id) == 1, qPrintable(QString::number(id)));
        QCOMPARE(h.control.Frame3->title(), QStringLiteral("Optional"));
    }

    void resourceClient() {
        ControlHarness h;
        InstrumentState &c = h.control;
        QCOMPARE(c.CategoryId(), QStringLiteral("{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}"));
        QCOMPARE(c.CountryCode(), 0);
        const ObjectRef builtIn = c.Resources();
        QCOMPARE(dynamic_cast<IxoResource &>(*builtIn).Language(), QStringLiteral("English US"));
        c.LoadResources(0);
        QCOMPARE(c.Resources(), builtIn);

        const auto echo = std::make_shared<EchoResources>();
        c.setResources(echo);
        QCOMPARE(c.Resources(), ObjectRef(echo));
        QCOMPARE(c.property("IxoResourceClient_CountryCode").toInt(), 7);
        QCOMPARE(c.captureNewBtn->text(), QStringLiteral("#203"));
        QCOMPARE(h.view().headerItem()->text(1), QStringLiteral("#201"));
        QCOMPARE(SharedEditName::instance().okBtn->toolTip(), QStringLiteral("#244"));

        QCOMPARE(errorOf([&] { c.setResources(std::make_shared<QObject>()); }),
                 ErrorNumber::TypeMismatch);
        QCOMPARE(c.Resources(), ObjectRef(echo));
        QCOMPARE(errorOf([&] { c.setResources(nullptr); }), ErrorNumber::ObjectNotSet);
        QCOMPARE(errorOf([&] { c.CountryCode(); }), ErrorNumber::ObjectNotSet);
        QVERIFY(QMetaObject::invokeMethod(&c, "IxoResourceClient_LoadResources", Q_ARG(int, 0)));
        QCOMPARE(c.CountryCode(), 0);
        QCOMPARE(c.captureNewBtn->text(), QStringLiteral("Capture New..."));
        c.LoadResources(49);
        QCOMPARE(c.CountryCode(), 49);
        QCOMPARE(SharedEditName::instance().cancelBtn->text(), QStringLiteral("Abbrechen"));
        c.LoadResources(0);
        QCOMPARE(SharedEditName::instance().cancelBtn->text(), QStringLiteral("Cancel"));
    }

    void countryCodeIsPersisted_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("written");
        QTest::newRow("absent") << QVariant() << "Capture New..." << 0;
        QTest::newRow("German") << QVariant(49) << "Neu erfassen..." << 49;
        QTest::newRow("unknown code") << QVariant(999) << "Capture New..." << 0;
        // Refused, with a pointer into the help.
        QTest::newRow("no number") << QVariant(QStringLiteral("abc")) << "Capture New..." << 0;
    }

    void countryCodeIsPersisted() {
        QFETCH(QVariant, stored);
        ControlHarness h;
        PropertyBag bag;
        if (stored.isValid())
            bag.WriteProperty(QStringLiteral("CountryCode"), stored);
        try {
            h.control.ReadProperties(bag);
            QVERIFY(stored.typeId() != QMetaType::QString);
        } catch (const AutomationError &error) {
            QVERIFY(stored.typeId() == QMetaType::QString);
            QCOMPARE(error.number(), ErrorNumber::TypeMismatch);
            QCOMPARE(error.helpContext(), 750);
            QVERIFY(!error.helpFile().isEmpty());
        }
        QTEST(h.control.captureNewBtn->text(), "caption");
        PropertyBag saved;
        h.control.WriteProperties(saved);
        QTEST(saved.ReadProperty(QStringLiteral("CountryCode"), 0).toInt(), "written");
    }
};

QTEST_MAIN(TestInstrumentState)
#include "tst_instrumentstate.moc"
