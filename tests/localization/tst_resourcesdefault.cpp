#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "localization/CIxoResourcesDefault.h"

#include <QTest>
#include <limits>

using ixo::CIxoResourcesDefault;
using ixo::test::errorOf;
using ixo::test::errorTextOf;
namespace ErrorNumber = ixo::ErrorNumber;

class TestResourcesDefault : public QObject {
    Q_OBJECT

private slots:
    void catalogueText_data();
    void catalogueText();
    void missingIdGivesFailureSentence_data();
    void missingIdGivesFailureSentence();
    void describesItselfAsBuiltInEnglish();
    void pictureAndDataFromComponentResources();
    void failures_data();
    void failures();
};

void TestResourcesDefault::catalogueText_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    const std::pair<int, const char *> texts[] = {
        {200, "Name:"},
        {201, "Description:"},
        {202, "Instrument State"},
        {203, "Capture New..."},
        {204, "Restore"},
        {205, "Edit Name..."},
        {206, "Remove"},
        {207, "Optional"},
        {208, "Import..."},
        {209, "Export..."},
        {210, "Capture New State"},
        {211, "Edit State Name "},
        {212, "Import previously stored state file"},
        {213, "Tessaview State Files (*.sta)|*.sta"},
        {214, "Export "},
        {215, " To"},
        {216, "State "},
        {217, "OK"},
        {218, "Cancel"},
        {219, "Failed to Capture State from the Instrument"},
        {220, "Error Details: "},
        {221, "Error"},
        {222, "Failed to Export state to a file, Error = "},
        {223, "The imported state is for the "},
        {224, ", version "},
        {225, "Can not import state file."},
        {226, "Imported state "},
        {227, " is already in the list."},
        {228, "You must rename it."},
        {229, " does not appear to be a standard state file."},
        {230, "Failed to reset instrument to saved state"},
        {231, "The selected state is for the instrument model "},
        {232, "which is not the currently connected instrument. The state was not restored."},
        {233, " is already a Captured State."},
        {235, "Capture current instrument setting"},
        {236, "Restore highlighted state to instrument"},
        {237, "Edit the name and description of the highlighted state"},
        {238, "Remove the highlighted state from the list"},
        {240, "Retrieve an instrument state from a file"},
        {241, "Save the highlighted state to a file"},
        {244, "Save name and description with instrument state"},
        {245, "Cancel the save operation"},
    };
    for (const auto &[id, text] : texts)
        QTest::addRow("%d", id) << id << QString::fromLatin1(text);
}

void TestResourcesDefault::catalogueText() {
    QFETCH(int, id);
    QFETCH(QString, text);
    CIxoResourcesDefault resources;
    QCOMPARE(resources.LoadResString(id), text);
}

void TestResourcesDefault::missingIdGivesFailureSentence_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("number");
    for (const int id : {234, 239, 242, 243, 0, -1, 199, 246, 300})
        QTest::addRow("%d", id) << id << QString::number(id);
    QTest::newRow("lowest") << std::numeric_limits<int>::min() << QStringLiteral("-2147483648");
    QTest::newRow("highest") << std::numeric_limits<int>::max() << QStringLiteral("2147483647");
}

void TestResourcesDefault::missingIdGivesFailureSentence() {
    QFETCH(int, id);
    QFETCH(QString, number);
    CIxoResourcesDefault resources;
    QCOMPARE(resources.LoadResString(id),
             QStringLiteral("Failed to load string for resource id=") + number);
}

void TestResourcesDefault::describesItselfAsBuiltInEnglish() {
    CIxoResourcesDefault resources;
    QCOMPARE(resources.FontName(), QStringLiteral("Arial"));
    QCOMPARE(resources.FontSize(), 8);
    QCOMPARE(resources.CodePage(), 1);
    QCOMPARE(resources.Language(), QStringLiteral("English US"));
    QCOMPARE(resources.CountryCode(), 0);
    QCOMPARE(resources.PrimaryLanguageID(), std::int16_t(1));
    QCOMPARE(resources.SecondaryLanguageID(), std::int16_t(0));
    QCOMPARE(resources.Version(), QStringLiteral("1.0.0.0"));
    QCOMPARE(resources.HelpfileName(), QStringLiteral(".\\IxoProductName.hlp"));
}

void TestResourcesDefault::pictureAndDataFromComponentResources() {
    CIxoResourcesDefault resources;
    const QImage bitmap = resources.LoadResPicture(30000, 0);
    QCOMPARE(bitmap.size(), QSize(2, 3));
    QCOMPARE(bitmap.pixelColor(0, 0), QColor(255, 0, 0));
    QVERIFY(!resources.LoadResPicture(101, 1).isNull());
    QCOMPARE(resources.LoadResData(7, 10), QVariant(QByteArray("seven\n")));
}

void TestResourcesDefault::failures_data() {
    QTest::addColumn<std::function<void(CIxoResourcesDefault &)>>("call");
    QTest::addColumn<int>("number");
    using Call = std::function<void(CIxoResourcesDefault &)>;
    QTest::newRow("no such picture")
        << Call([](auto &r) { r.LoadResPicture(1, 0); }) << ErrorNumber::Fail;
    QTest::newRow("bitmap asked as icon")
        << Call([](auto &r) { r.LoadResPicture(30000, 1); }) << ErrorNumber::Fail;
    QTest::newRow("unknown picture kind")
        << Call([](auto &r) { r.LoadResPicture(30000, 3); }) << ErrorNumber::Fail;
    QTest::newRow("format beyond 16 bits")
        << Call([](auto &r) { r.LoadResPicture(30000, 65536); }) << ErrorNumber::Fail;
    QTest::newRow("no such data") << Call([](auto &r) { r.LoadResData(8, 10); })
                                  << ErrorNumber::Fail;
    QTest::newRow("data of another type")
        << Call([](auto &r) { r.LoadResData(7, 11); }) << ErrorNumber::Fail;
    QTest::newRow("mask") << Call([](auto &r) { r.Mask(200); }) << ErrorNumber::NotImplemented;
}

void TestResourcesDefault::failures() {
    QFETCH(std::function<void(CIxoResourcesDefault &)>, call);
    QFETCH(int, number);
    CIxoResourcesDefault resources;
    QCOMPARE(errorOf([&] { call(resources); }), number);
    QCOMPARE(errorTextOf([&] { call(resources); }), QString());
}

QTEST_GUILESS_MAIN(TestResourcesDefault)
#include "tst_resourcesdefault.moc"
