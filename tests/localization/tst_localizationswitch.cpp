#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "localization/IxoResourcesGlobals.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using ixo::gResources;
using ixo::gResourcesAgent;

namespace {

// A small form laid out like the library's control: a list view, a frame with two buttons.
class SampleControl : public QWidget {
public:
    SampleControl() {
        stateListView = new ixo::ListView(this);
        stateListView->ColumnHeaders()->Add(QStringLiteral("Name"))->setTag(QStringLiteral("200"));
        stateListView->ColumnHeaders()->Add(QStringLiteral("Desc"))->setTag(QStringLiteral("201"));
        Frame2 = new QGroupBox(QStringLiteral("Instrument State fram caption"), this);
        Frame2->setProperty("Tag", QStringLiteral("Caption=202"));
        captureNewBtn = new QPushButton(QStringLiteral("Capture New button Caption"), Frame2);
        captureNewBtn->setProperty("Tag", QStringLiteral("Caption=203;ToolTipText=235"));
        restoreBtn = new QPushButton(QStringLiteral("Restore button Caption"), Frame2);
        restoreBtn->setProperty("Tag", QStringLiteral("Caption=204;ToolTipText=236"));
        ixo::InitResources(controls());
    }
    ~SampleControl() override { ixo::FreeResources(); }

    QObjectList controls() const { return ixo::MemberAccess::controlsOf(*this); }

    // Switches the thread's provider by country code and fills the texts again.
    void LoadResources(std::int32_t countryCode) {
        gResources = ixo::IxoResourceRef(gResourcesAgent->LoadResourcesForObject(
            ixo::ResourceCategoryId.toString(), countryCode));
        gResourcesAgent->SetResourceValuesForSubordinateObjects(QVariant::fromValue(controls()));
    }

    QStringList texts() const {
        return {stateListView->headerItem()->text(0),
                stateListView->headerItem()->text(1),
                Frame2->title(),
                captureNewBtn->text(),
                captureNewBtn->toolTip(),
                restoreBtn->text(),
                restoreBtn->toolTip()};
    }

    ixo::ListView *stateListView;
    QGroupBox *Frame2;
    QPushButton *captureNewBtn;
    QPushButton *restoreBtn;
};

const QStringList kEnglish{QStringLiteral("Name:"),
                           QStringLiteral("Description:"),
                           QStringLiteral("Instrument State"),
                           QStringLiteral("Capture New..."),
                           QStringLiteral("Capture current instrument setting"),
                           QStringLiteral("Restore"),
                           QStringLiteral("Restore highlighted state to instrument")};

} // namespace

// The whole way from tag markup to the texts on screen, switching language at run time.
class TestLocalizationSwitch : public QObject {
    Q_OBJECT

private slots:
    void switchesLanguageAtRunTime_data();
    void switchesLanguageAtRunTime();
    void japaneseNeedsItsFont();
};

void TestLocalizationSwitch::switchesLanguageAtRunTime_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("German") << 49
                            << QStringList{"Name:",
                                           "Beschreibung:",
                                           "Gerätezustand",
                                           "Neu erfassen...",
                                           "Aktuelle Geräteeinstellung erfassen",
                                           "Wiederherstellen",
                                           "Markierten Zustand im Gerät wiederherstellen"};
    QTest::newRow("French") << 33
                            << QStringList{"Nom :",
                                           "Description :",
                                           "État de l'instrument",
                                           "Nouvelle capture...",
                                           "Capturer le réglage actuel de l'instrument",
                                           "Restaurer",
                                           "Restaurer l'état sélectionné sur l'instrument"};
    QTest::newRow("unknown code") << 44 << kEnglish;
}

void TestLocalizationSwitch::switchesLanguageAtRunTime() {
    QFETCH(int, code);
    QFETCH(QStringList, texts);
    SampleControl control;
    QCOMPARE(control.texts(), kEnglish);
    control.LoadResources(code);
    QCOMPARE(control.texts(), texts);
    QCOMPARE(gResources->CountryCode(), texts == kEnglish ? 0 : code);
    control.LoadResources(0);
    QCOMPARE(control.texts(), kEnglish);
}

void TestLocalizationSwitch::japaneseNeedsItsFont() {
    SampleControl control;
    control.LoadResources(81);
    if (QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK JP"))) {
        QCOMPARE(gResources->CountryCode(), 81);
        QCOMPARE(control.captureNewBtn->text(), QStringLiteral("新規取得..."));
    } else {
        QCOMPARE(gResources->CountryCode(), 0);
        QCOMPARE(control.texts(), kEnglish);
    }
}

QTEST_MAIN(TestLocalizationSwitch)
#include "tst_localizationswitch.moc"
