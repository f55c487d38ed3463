#include "AutomationAssert.h"
#include "FakeResources.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/MemberAccess.h"
#include "localization/IxoResourcesGlobals.h"

#include <QPushButton>
#include <QTest>
#include <thread>

using ixo::FreeResources;
using ixo::gResources;
using ixo::gResourcesAgent;
using ixo::InitResources;
using ixo::ObjectRef;
using ixo::test::errorOf;
namespace ErrorNumber = ixo::ErrorNumber;

namespace {

// The part of a control that matters here: its child controls and their tags.
class FakeControl : public QWidget {
public:
    FakeControl() {
        captureNewBtn = new QPushButton(QStringLiteral("Capture New button Caption"), this);
        captureNewBtn->setProperty("Tag", QStringLiteral("Caption=203;ToolTipText=235"));
        InitResources(ixo::MemberAccess::controlsOf(*this));
    }
    ~FakeControl() override { FreeResources(); }

    QPushButton *captureNewBtn;
};

// Makes the thread's provider a localized one through the agent, as a host's switch does.
void switchToFake(std::int32_t code) {
    gResourcesAgent->setLocaleManagerFactory([code] {
        auto manager = std::make_shared<ixo::test::FakeLocaleManager>();
        manager->create = [](const QString &, std::int32_t c) -> ObjectRef {
            return std::make_shared<ixo::test::FakeResources>(c, QStringLiteral("Font"));
        };
        return manager;
    });
    gResources = ixo::IxoResourceRef(
        gResourcesAgent->LoadResourcesForObject(ixo::ResourceCategoryId.toString(), code));
}

} // namespace

class TestResourcesGlobals : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void emptyBeforeAnyControl();
    void controlCreationSetsUpBuiltInTexts();
    void secondControlReplacesAgentAndResetsProvider();
    void lastTerminationEmptiesThePair();
    void freeWithoutInitDoesNotUnderflow();
    void eachThreadHasItsOwnPair();
    void categoryIdentifier();
};

void TestResourcesGlobals::cleanup() {
    while (ixo::resourcesUserCount() > 0)
        FreeResources();
}

void TestResourcesGlobals::emptyBeforeAnyControl() {
    QVERIFY(gResources.isEmpty());
    QVERIFY(gResourcesAgent.isEmpty());
    QCOMPARE(errorOf([] { gResources->LoadResString(221); }), ErrorNumber::ObjectNotSet);
    QCOMPARE(errorOf([] { gResourcesAgent->SetResourceValuesForObject(nullptr); }),
             ErrorNumber::ObjectNotSet);
}

void TestResourcesGlobals::controlCreationSetsUpBuiltInTexts() {
    const FakeControl control;
    QCOMPARE(gResources->CountryCode(), 0);
    QCOMPARE(gResources->Language(), QStringLiteral("English US"));
    QCOMPARE(gResources->LoadResString(221), QStringLiteral("Error"));
    QCOMPARE(gResources.object(), gResourcesAgent->resources());
    QCOMPARE(control.captureNewBtn->text(), QStringLiteral("Capture New..."));
    QCOMPARE(control.captureNewBtn->toolTip(),
             QStringLiteral("Capture current instrument setting"));
}

void TestResourcesGlobals::secondControlReplacesAgentAndResetsProvider() {
    const FakeControl first;
    const auto firstAgent = gResourcesAgent.shared();
    switchToFake(49);
    QCOMPARE(gResources->LoadResString(203), QStringLiteral("fake49:203"));

    const FakeControl second;
    QVERIFY(gResourcesAgent.shared() != firstAgent);
    QCOMPARE(gResources->CountryCode(), 0);
    QCOMPARE(gResources.object(), gResourcesAgent->resources());
    QCOMPARE(first.captureNewBtn->text(), QStringLiteral("Capture New..."));
    QCOMPARE(second.captureNewBtn->text(), QStringLiteral("Capture New..."));
    QCOMPARE(ixo::resourcesUserCount(), 2);
}

void TestResourcesGlobals::lastTerminationEmptiesThePair() {
    auto first = std::make_unique<FakeControl>();
    {
        const FakeControl second;
        switchToFake(33);
    }
    // The remaining control still finds the pair, with the provider the host chose last.
    QCOMPARE(gResources->LoadResString(221), QStringLiteral("fake33:221"));
    first.reset();
    QVERIFY(gResources.isEmpty());
    QVERIFY(gResourcesAgent.isEmpty());
    QCOMPARE(errorOf([] { gResources->CountryCode(); }), ErrorNumber::ObjectNotSet);
}

void TestResourcesGlobals::freeWithoutInitDoesNotUnderflow() {
    FreeResources();
    FreeResources();
    {
        const FakeControl control;
        QCOMPARE(ixo::resourcesUserCount(), 1);
    }
    QVERIFY(gResources.isEmpty());
}

void TestResourcesGlobals::eachThreadHasItsOwnPair() {
    const FakeControl control;
    const ObjectRef mine = gResources.object();
    bool emptyThere = false;
    ObjectRef theirs;
    std::thread other([&] {
        emptyThere = gResources.isEmpty() && gResourcesAgent.isEmpty();
        InitResources(QObjectList());
        theirs = gResources.object();
        FreeResources();
    });
    other.join();
    QVERIFY(emptyThere);
    QVERIFY(theirs && theirs != mine);
    QCOMPARE(gResources.object(), mine);
}

void TestResourcesGlobals::categoryIdentifier() {
    QCOMPARE(ixo::ResourceCategoryId.toString(),
             QStringLiteral("{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}"));
}

QTEST_MAIN(TestResourcesGlobals)
#include "tst_resourcesglobals.moc"
