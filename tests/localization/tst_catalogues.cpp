#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "locale/LocaleManager.h"
#include "localization/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"

#include <QFile>
#include <QFontDatabase>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <limits>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

const QString kCategory = ResourceCategoryId.toString();

IxoResource &asResource(const ObjectRef &object) {
    return dynamic_cast<IxoResource &>(*object);
}

} // namespace

using Call = std::function<void(IxoResource &)>;

// The built-in English texts and the compiled German, French and Japanese catalogues.
class TestCatalogues : public QObject {
    Q_OBJECT

private slots:
    void builtInText_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        // The texts of ids 200 to 245, empty where there is none. Several begin or end with a space
        // because messages are built by concatenation.
        const QStringList texts =
            QStringLiteral(
                "Name:;Description:;Instrument State;Capture New...;Restore;Edit Name...;"
                "Remove;Optional;Import...;Export...;Capture New State;Edit State Name ;"
                "Import previously stored state file;Tessaview State Files (*.sta)|*.sta;"
                "Export ; To;State ;OK;Cancel;Failed to Capture State from the Instrument;"
                "Error Details: ;Error;Failed to Export state to a file, Error = ;"
                "The imported state is for the ;, version ;Can not import state file.;"
                "Imported state ; is already in the list.;You must rename it.;"
                " does not appear to be a standard state file.;"
                "Failed to reset instrument to saved state;"
                "The selected state is for the instrument model ;"
                "which is not the currently connected instrument. The state was not "
                "restored.; is already a Captured State.;;"
                "Capture current instrument setting;Restore highlighted state to instrument;"
                "Edit the name and description of the highlighted state;"
                "Remove the highlighted state from the list;;"
                "Retrieve an instrument state from a file;"
                "Save the highlighted state to a file;;;"
                "Save name and description with instrument state;Cancel the save operation")
                .split(u';');
        QCOMPARE(texts.size(), 46);
        const QString missing = QStringLiteral("Failed to load string for resource id=%1");
        for (int id = 200; id <= 245; ++id) {
            const QString text = texts.at(id - 200);
            QTest::addRow("%d", id) << id << (text.isEmpty() ? missing.arg(id) : text);
        }
        for (const int id : {199, 246, -1, std::numeric_limits<int>::min()})
            QTest::addRow("missing %d", id) << id << missing.arg(id);
    }
    void builtInText() {
        QFETCH(int, id);
        QFETCH(QString, text);
        CIxoResourcesDefault resources;
        QCOMPARE(resources.LoadResString(id), text);
    }

    void picturesDataAndErrorNumbers() {
        CIxoResourcesDefault builtIn;
        const QImage bitmap = builtIn.LoadResPicture(30000, 0);
        QCOMPARE(bitmap.size(), QSize(2, 3));
        QCOMPARE(bitmap.pixelColor(0, 0), QColor(255, 0, 0));
        QVERIFY(!builtIn.LoadResPicture(101, 1).isNull());
        QCOMPARE(builtIn.LoadResData(7, 10), QVariant(QByteArray("seven\n")));

        const ObjectRef french = LocaleManager().CreateResources(kCategory, 33);
        const std::pair<Call, int> cases[] = {
            {[](IxoResource &r) { r.LoadResPicture(1, 0); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 1); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 3); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 65536); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResData(8, 10); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.Mask(200); }, ErrorNumber::NotImplemented}};
        for (const auto &[call, number] : cases) {
            QCOMPARE(errorOf([&] { call(builtIn); }), number);
            // Neither error number comes with a description of its own.
            QCOMPARE(errorTextOf([&] { call(builtIn); }), QString());
            QCOMPARE(errorOf([&] { call(asResource(french)); }), number);
        }
        // The localized catalogues carry texts only.
        QCOMPARE(errorOf([&] { asResource(french).LoadResPicture(30000, 0); }), ErrorNumber::Fail);
        QCOMPARE(errorOf([&] { asResource(french).LoadResData(7, 10); }), ErrorNumber::Fail);
    }

    void localized_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("capture");
        QTest::addColumn<QString>("title");
        const auto add = [](const char *name, int code, const char *language, const char *font,
                            const char *capture, const char *title) {
            QTest::newRow(name) << code << QString::fromUtf8(language) << QString::fromUtf8(font)
                                << QString::fromUtf8(capture) << QString::fromUtf8(title);
        };
        add("German", 49, "Deutsch", "DejaVu Sans", "Neu erfassen...", "Zustandsnamen bearbeiten ");
        add("French", 33, "Français", "DejaVu Sans", "Nouvelle capture...",
            "Modifier le nom de l'état ");
        add("Japanese", 81, "日本語", "Noto Sans CJK JP", "新規取得...", "状態名の編集 ");
    }

    void localized() {
        QFETCH(int, code);
        QFETCH(QString, language);
        QFETCH(QString, font);
        QFETCH(QString, capture);
        QFETCH(QString, title);
        const QString file = LocaleManager::catalogueFile(kCategory, code);
        QVERIFY2(!file.isEmpty(), qPrintable(LocaleManager::catalogueDirectories().join(',')));
        QTranslator catalogue;
        QVERIFY(catalogue.load(file));
        // The messages are looked up by id, not by their English source.
        QCOMPARE(catalogue.translate(nullptr, "203"), capture);
        for (const auto &[id, english] : CIxoResourcesDefault::catalogue()) {
            const QString text = catalogue.translate(nullptr, QByteArray::number(id).constData());
            const QByteArray where = QByteArray::number(id);
            QVERIFY2(!text.isEmpty(), where);
            QVERIFY2(text.startsWith(u' ') == english.startsWith(u' '), where);
            QVERIFY2(text.endsWith(u' ') == english.endsWith(u' '), where);
        }
        QCOMPARE(catalogue.translate(nullptr, "213").section(u'|', 1), QStringLiteral("*.sta"));

        const ObjectRef created = LocaleManager().CreateResources(kCategory.toLower(), code);
        IxoResource &resources = asResource(created);
        QCOMPARE(resources.CountryCode(), code);
        QCOMPARE(resources.Language(), language);
        QCOMPARE(resources.FontName(), font);
        QCOMPARE(resources.LoadResString(211), title);
        QCOMPARE(resources.LoadResString(234),
                 QStringLiteral("Failed to load string for resource id=234"));
    }

    void unknownCatalogueAndFont() {
        LocaleManager manager;
        const std::pair<QString, int> cases[] = {
            {kCategory, 44},
            {kCategory, 0},
            {QStringLiteral("{00000000-0000-0000-0000-000000000000}"), 49},
            {QString(), 49}};
        for (const auto &[category, code] : cases)
            QCOMPARE(errorOf([&] { manager.CreateResources(category, code); }), ErrorNumber::Fail);
        const QStringList families = QFontDatabase::families();
        QVERIFY(!families.isEmpty());
        QVERIFY(manager.IsFontAvailable(families.first().toUpper()));
        QVERIFY(!manager.IsFontAvailable(QStringLiteral("No Such Font Anywhere")));
        QVERIFY(!manager.IsFontAvailable(QString()));
    }

    void directoryCanBeOverridden() {
        const QString german = LocaleManager::catalogueFile(kCategory, 49);
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        // The other tests run without the variable.
        qputenv("IXO_TRANSLATIONS_DIR", directory.path().toLocal8Bit());
        const auto restore = qScopeGuard([] { qunsetenv("IXO_TRANSLATIONS_DIR"); });
        QCOMPARE(LocaleManager::catalogueDirectories(), QStringList{directory.path()});
        LocaleManager manager;
        QCOMPARE(errorOf([&] { manager.CreateResources(kCategory, 49); }), ErrorNumber::Fail);

        // Any file name ending in the country code will do; the category is read from inside.
        QVERIFY(QFile::copy(german, directory.filePath(QStringLiteral("site_local_49.qm"))));
        QVERIFY(
            QFile(directory.filePath(QStringLiteral("broken_49.qm"))).open(QIODevice::WriteOnly));
        QCOMPARE(asResource(manager.CreateResources(kCategory, 49)).LoadResString(221),
                 QStringLiteral("Fehler"));
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
