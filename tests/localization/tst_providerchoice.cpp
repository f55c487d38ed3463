#include "AutomationAssert.h"
#include "FakeResources.h"
#include "localization/CIxoResourcesAgent.h"
#include "localization/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"

#include <QFontDatabase>
#include <QTest>

using ixo::CIxoResourcesAgent;
using ixo::CIxoResourcesDefault;
using ixo::IxoResource;
using ixo::ObjectRef;
using ixo::test::FakeLocaleManager;
using ixo::test::FakeResources;

namespace {

const QString kCategory = ixo::ResourceCategoryId.toString();

// How the locale manager behaves for one case.
enum class Library {
    Works,
    FontMissing,
    CreateFails,
    ReturnsNothing,
    ReturnsNonProvider,
    FontNameFails,
    FactoryFails,
    FactoryGivesNothing,
};

// An agent whose locale managers are fakes; it counts the managers it creates.
struct Harness {
    explicit Harness(Library library = Library::Works)
        : agent([this, library] { return makeManager(library); }) {}

    ixo::LocaleManagerRef makeManager(Library library) {
        ++managersCreated;
        if (library == Library::FactoryFails)
            throw std::runtime_error("cannot create");
        if (library == Library::FactoryGivesNothing)
            return nullptr;
        auto manager = std::make_shared<FakeLocaleManager>();
        manager->log = log;
        manager->fontAvailable = library != Library::FontMissing;
        manager->create = [library](const QString &, std::int32_t code) -> ObjectRef {
            switch (library) {
            case Library::CreateFails:
                throw ixo::AutomationError(5, QStringLiteral("Fake"), QStringLiteral("no"));
            case Library::ReturnsNothing:
                return nullptr;
            case Library::ReturnsNonProvider:
                return std::make_shared<QObject>();
            default:
                break;
            }
            auto resources = std::make_shared<FakeResources>(code, QStringLiteral("FakeFont"));
            resources->failFontName = library == Library::FontNameFails;
            return resources;
        };
        return manager;
    }

    int managersCreated = 0;
    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
    CIxoResourcesAgent agent;
};

bool isDefault(const ObjectRef &resources) {
    return dynamic_cast<CIxoResourcesDefault *>(resources.get()) != nullptr;
}

std::int32_t countryCodeOf(const ObjectRef &resources) {
    return dynamic_cast<IxoResource &>(*resources).CountryCode();
}

} // namespace

Q_DECLARE_METATYPE(Library)

class TestProviderChoice : public QObject {
    Q_OBJECT

private slots:
    void newAgentHasBuiltInProvider();
    void sameCodeKeepsTheObject_data();
    void sameCodeKeepsTheObject();
    void zeroGivesNewBuiltInProvider();
    void localizedProviderIsAskedInOrder();
    void fallsBackToBuiltIn_data();
    void fallsBackToBuiltIn();
    void failingCurrentProviderFallsBack();
    void hostProviderIsReplacedByCode();
    void realLibraryCatalogues_data();
    void realLibraryCatalogues();
};

void TestProviderChoice::newAgentHasBuiltInProvider() {
    Harness harness;
    QVERIFY(isDefault(harness.agent.resources()));
    QCOMPARE(harness.managersCreated, 0);
}

void TestProviderChoice::sameCodeKeepsTheObject_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("built-in") << 0;
    QTest::newRow("localized") << 49;
}

void TestProviderChoice::sameCodeKeepsTheObject() {
    QFETCH(int, code);
    Harness harness;
    const ObjectRef first = harness.agent.LoadResourcesForObject(kCategory, code);
    const int created = harness.managersCreated;
    // The category takes no part in the comparison.
    QCOMPARE(harness.agent.LoadResourcesForObject(QStringLiteral("other category"), code), first);
    QCOMPARE(harness.agent.resources(), first);
    QCOMPARE(harness.managersCreated, created);
}

void TestProviderChoice::zeroGivesNewBuiltInProvider() {
    Harness harness;
    const ObjectRef initial = harness.agent.resources();
    QCOMPARE(countryCodeOf(harness.agent.LoadResourcesForObject(kCategory, 49)), 49);
    const ObjectRef back = harness.agent.LoadResourcesForObject(kCategory, 0);
    QVERIFY(isDefault(back));
    QVERIFY(back != initial);
    QCOMPARE(countryCodeOf(back), 0);
    QCOMPARE(harness.managersCreated, 1);
}

void TestProviderChoice::localizedProviderIsAskedInOrder() {
    Harness harness;
    const ObjectRef chosen = harness.agent.LoadResourcesForObject(kCategory, 33);
    QVERIFY(dynamic_cast<FakeResources *>(chosen.get()));
    QCOMPARE(*harness.log, (QStringList{QStringLiteral("CreateResources(%1,33)").arg(kCategory),
                                        QStringLiteral("IsFontAvailable(FakeFont)")}));
    // Every load of a new code gets its own manager.
    harness.agent.LoadResourcesForObject(kCategory, 49);
    QCOMPARE(harness.managersCreated, 2);
}

void TestProviderChoice::fallsBackToBuiltIn_data() {
    QTest::addColumn<Library>("library");
    QTest::newRow("font not available") << Library::FontMissing;
    QTest::newRow("CreateResources fails") << Library::CreateFails;
    QTest::newRow("CreateResources gives Nothing") << Library::ReturnsNothing;
    QTest::newRow("result is no provider") << Library::ReturnsNonProvider;
    QTest::newRow("FontName fails") << Library::FontNameFails;
    QTest::newRow("manager cannot be created") << Library::FactoryFails;
    QTest::newRow("manager is Nothing") << Library::FactoryGivesNothing;
}

void TestProviderChoice::fallsBackToBuiltIn() {
    QFETCH(Library, library);
    Harness harness(library);
    const ObjectRef initial = harness.agent.resources();
    const ObjectRef chosen = harness.agent.LoadResourcesForObject(kCategory, 49);
    QVERIFY(isDefault(chosen));
    QVERIFY(chosen != initial);
    QCOMPARE(harness.agent.resources(), chosen);

    // Also when a different localized provider was current before.
    const auto localized = std::make_shared<FakeResources>(33, QStringLiteral("FakeFont"));
    harness.agent.SetResources(localized);
    const ObjectRef again = harness.agent.LoadResourcesForObject(kCategory, 49);
    QVERIFY(isDefault(again));
    QCOMPARE(countryCodeOf(again), 0);
}

void TestProviderChoice::failingCurrentProviderFallsBack() {
    Harness harness;
    const auto broken = std::make_shared<FakeResources>(49, QStringLiteral("FakeFont"));
    broken->failCountryCode = true;
    harness.agent.SetResources(broken);
    QVERIFY(isDefault(harness.agent.LoadResourcesForObject(kCategory, 49)));
    QCOMPARE(harness.managersCreated, 0);
}

void TestProviderChoice::hostProviderIsReplacedByCode() {
    Harness harness;
    const auto hosts = std::make_shared<FakeResources>(44, QStringLiteral("FakeFont"));
    harness.agent.SetResources(hosts);
    QCOMPARE(harness.agent.LoadResourcesForObject(kCategory, 44), ObjectRef(hosts));
    const ObjectRef replaced = harness.agent.LoadResourcesForObject(kCategory, 49);
    QVERIFY(replaced != ObjectRef(hosts));
    QCOMPARE(countryCodeOf(replaced), 49);
}

void TestProviderChoice::realLibraryCatalogues_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("capture");
    QTest::newRow("German") << 49 << "DejaVu Sans"
                            << "Neu erfassen...";
    QTest::newRow("French") << 33 << "DejaVu Sans"
                            << "Nouvelle capture...";
    QTest::newRow("Japanese") << 81 << "Noto Sans CJK JP"
                              << "新規取得...";
    QTest::newRow("no catalogue") << 44 << ""
                                  << "Capture New...";
}

void TestProviderChoice::realLibraryCatalogues() {
    QFETCH(int, code);
    QFETCH(QString, font);
    QFETCH(QString, capture);
    CIxoResourcesAgent agent;
    const ObjectRef chosen = agent.LoadResourcesForObject(kCategory, code);
    auto &resources = dynamic_cast<IxoResource &>(*chosen);
    if (!font.isEmpty() && !QFontDatabase::hasFamily(font)) {
        QVERIFY(isDefault(chosen));
        QCOMPARE(resources.LoadResString(203), QStringLiteral("Capture New..."));
        return;
    }
    QCOMPARE(resources.LoadResString(203), capture);
    QCOMPARE(resources.CountryCode(), font.isEmpty() ? 0 : code);
}

QTEST_MAIN(TestProviderChoice)
#include "tst_providerchoice.moc"
