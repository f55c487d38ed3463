#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "locale/IxoResource.h"
#include "locale/LocaleManager.h"
#include "localization/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"

#include <QFile>
#include <QFontDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using ixo::IxoResource;
using ixo::LocaleManager;
using ixo::test::errorOf;
namespace ErrorNumber = ixo::ErrorNumber;

namespace {

const QString kCategory = ixo::ResourceCategoryId.toString();
const int kCountryCodes[] = {49, 33, 81};

// Sets an environment variable for the lifetime of the scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnvironment() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

IxoResource &asResource(const ixo::ObjectRef &object) {
    return dynamic_cast<IxoResource &>(*object);
}

} // namespace

class TestLocaleManager : public QObject {
    Q_OBJECT

private slots:
    void compiledCataloguesAreIdBased_data();
    void compiledCataloguesAreIdBased();
    void catalogueCoversEveryEnglishText_data();
    void catalogueCoversEveryEnglishText();
    void createResources_data();
    void createResources();
    void categoryIgnoresLetterCase();
    void unknownCatalogueFails_data();
    void unknownCatalogueFails();
    void localizedProviderFailures();
    void fontAvailability();
    void directoryCanBeOverridden();
};

void TestLocaleManager::compiledCataloguesAreIdBased_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("49") << 49 << "Neu erfassen...";
    QTest::newRow("33") << 33 << "Nouvelle capture...";
    QTest::newRow("81") << 81 << "新規取得...";
}

void TestLocaleManager::compiledCataloguesAreIdBased() {
    QFETCH(int, code);
    QFETCH(QString, text);
    const QString file = LocaleManager::catalogueFile(kCategory, code);
    QVERIFY2(!file.isEmpty(), qPrintable(LocaleManager::catalogueDirectories().join(',')));
    QTranslator catalogue;
    QVERIFY(catalogue.load(file));
    QCOMPARE(catalogue.translate(nullptr, "203"), text);
}

void TestLocaleManager::catalogueCoversEveryEnglishText_data() {
    QTest::addColumn<int>("code");
    for (const int code : kCountryCodes)
        QTest::addRow("%d", code) << code;
}

void TestLocaleManager::catalogueCoversEveryEnglishText() {
    QFETCH(int, code);
    QTranslator catalogue;
    QVERIFY(catalogue.load(LocaleManager::catalogueFile(kCategory, code)));
    for (const auto &[id, english] : ixo::CIxoResourcesDefault::catalogue()) {
        const QString text = catalogue.translate(nullptr, QByteArray::number(id).constData());
        QVERIFY2(!text.isEmpty(), qPrintable(QString::number(id)));
        // Messages are concatenated, so the spaces at the ends must survive translation.
        QVERIFY2(text.startsWith(QLatin1Char(' ')) == english.startsWith(QLatin1Char(' ')),
                 qPrintable(QString::number(id)));
        QVERIFY2(text.endsWith(QLatin1Char(' ')) == english.endsWith(QLatin1Char(' ')),
                 qPrintable(QString::number(id)));
    }
    for (const char *absent : {"234", "239", "242", "243"})
        QVERIFY2(catalogue.translate(nullptr, absent).isEmpty(), absent);
    QCOMPARE(catalogue.translate(nullptr, "213").section(QLatin1Char('|'), 1),
             QStringLiteral("*.sta"));
}

void TestLocaleManager::createResources_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("title");
    QTest::newRow("German") << 49 << "Deutsch"
                            << "DejaVu Sans"
                            << "Zustandsnamen bearbeiten ";
    QTest::newRow("French") << 33 << "Français"
                            << "DejaVu Sans"
                            << "Modifier le nom de l'état ";
    QTest::newRow("Japanese") << 81 << "日本語"
                              << "Noto Sans CJK JP"
                              << "状態名の編集 ";
}

void TestLocaleManager::createResources() {
    QFETCH(int, code);
    QFETCH(QString, language);
    QFETCH(QString, font);
    QFETCH(QString, title);
    LocaleManager manager;
    const ixo::ObjectRef created = manager.CreateResources(kCategory, code);
    IxoResource &resources = asResource(created);
    QCOMPARE(resources.CountryCode(), code);
    QCOMPARE(resources.Language(), language);
    QCOMPARE(resources.FontName(), font);
    QCOMPARE(resources.LoadResString(211), title);
    QCOMPARE(resources.LoadResString(234),
             QStringLiteral("Failed to load string for resource id=234"));
    QVERIFY(resources.FontSize() > 0);
    QVERIFY(resources.CodePage() > 1);
}

void TestLocaleManager::categoryIgnoresLetterCase() {
    LocaleManager manager;
    const ixo::ObjectRef created = manager.CreateResources(kCategory.toLower(), 49);
    QCOMPARE(asResource(created).LoadResString(206), QStringLiteral("Entfernen"));
}

void TestLocaleManager::unknownCatalogueFails_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("code");
    QTest::newRow("unknown country code") << kCategory << 44;
    QTest::newRow("built-in code") << kCategory << 0;
    QTest::newRow("other category") << "{00000000-0000-0000-0000-000000000000}" << 49;
    QTest::newRow("empty category") << "" << 49;
}

void TestLocaleManager::unknownCatalogueFails() {
    QFETCH(QString, category);
    QFETCH(int, code);
    LocaleManager manager;
    QCOMPARE(errorOf([&] { manager.CreateResources(category, code); }), ErrorNumber::Fail);
}

void TestLocaleManager::localizedProviderFailures() {
    LocaleManager manager;
    const ixo::ObjectRef created = manager.CreateResources(kCategory, 33);
    IxoResource &resources = asResource(created);
    QCOMPARE(errorOf([&] { resources.Mask(1); }), ErrorNumber::NotImplemented);
    QCOMPARE(errorOf([&] { resources.LoadResPicture(30000, 0); }), ErrorNumber::Fail);
    QCOMPARE(errorOf([&] { resources.LoadResData(1, 10); }), ErrorNumber::Fail);
}

void TestLocaleManager::fontAvailability() {
    LocaleManager manager;
    const QStringList families = QFontDatabase::families();
    QVERIFY(!families.isEmpty());
    QVERIFY(manager.IsFontAvailable(families.first()));
    QVERIFY(manager.IsFontAvailable(families.first().toUpper()));
    QVERIFY(!manager.IsFontAvailable(QStringLiteral("No Such Font Anywhere")));
    QVERIFY(!manager.IsFontAvailable(QString()));
}

void TestLocaleManager::directoryCanBeOverridden() {
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const ScopedEnvironment environment("IXO_TRANSLATIONS_DIR", directory.path().toLocal8Bit());
    QCOMPARE(LocaleManager::catalogueDirectories(), QStringList{directory.path()});
    LocaleManager manager;
    QCOMPARE(errorOf([&] { manager.CreateResources(kCategory, 49); }), ErrorNumber::Fail);

    // Any file name ending in the country code will do; the category is read from inside.
    const QString german = [] {
        const ScopedEnvironment unset("IXO_TRANSLATIONS_DIR", QByteArray());
        return LocaleManager::catalogueFile(kCategory, 49);
    }();
    QVERIFY(QFile::copy(german, directory.filePath(QStringLiteral("site_specific_49.qm"))));
    QVERIFY(QFile(directory.filePath(QStringLiteral("broken_49.qm"))).open(QIODevice::WriteOnly));
    QCOMPARE(asResource(manager.CreateResources(kCategory, 49)).LoadResString(221),
             QStringLiteral("Fehler"));
}

QTEST_MAIN(TestLocaleManager)
#include "tst_localemanager.moc"
