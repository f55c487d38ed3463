#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "localization/IxoResourcesGlobals.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <thread>

using namespace ixo;
using test::errorOf;

namespace {

// A small form laid out like the library's control: a list view, a frame with two buttons.
class SampleControl : public QWidget {
public:
    SampleControl() {
        listView = new ListView(this);
        listView->ColumnHeaders()->Add(QStringLiteral("Name"))->setTag(QStringLiteral("200"));
        listView->ColumnHeaders()->Add(QStringLiteral("Desc"))->setTag(QStringLiteral("201"));
        frame = new QGroupBox(QStringLiteral("frame caption"), this);
        frame->setProperty("Tag", QStringLiteral("Caption=202"));
        captureBtn = new QPushButton(QStringLiteral("capture caption"), frame);
        captureBtn->setProperty("Tag", QStringLiteral("Caption=203;ToolTipText=235"));
        restoreBtn = new QPushButton(QStringLiteral("restore caption"), frame);
        restoreBtn->setProperty("Tag", QStringLiteral("Caption=204;ToolTipText=236"));
        InitResources(MemberAccess::controlsOf(*this));
    }
    ~SampleControl() override { FreeResources(); }

    // Switches the thread's provider by country code and fills the texts again.
    void LoadResources(std::int32_t countryCode) {
        gResources = IxoResourceRef(
            gResourcesAgent->LoadResourcesForObject(ResourceCategoryId.toString(), countryCode));
        gResourcesAgent->SetResourceValuesForSubordinateObjects(
            QVariant::fromValue(MemberAccess::controlsOf(*this)));
    }

    // The texts shown, joined by '|'.
    QString texts() const {
        QStringList shown{listView->headerItem()->text(0), listView->headerItem()->text(1),
                          frame->title()};
        for (const QPushButton *button : {captureBtn, restoreBtn})
            shown << button->text() << button->toolTip();
        return shown.join(u'|');
    }

    ListView *listView;
    QGroupBox *frame;
    QPushButton *captureBtn;
    QPushButton *restoreBtn;
};

const QString kEnglish = QStringLiteral("Name:|Description:|Instrument State|Capture New...|"
                                        "Capture current instrument setting|Restore|"
                                        "Restore highlighted state to instrument");
const QString kGerman = QStringLiteral("Name:|Beschreibung:|Gerätezustand|Neu erfassen...|"
                                       "Aktuelle Geräteeinstellung erfassen|Wiederherstellen|"
                                       "Markierten Zustand im Gerät wiederherstellen");
const QString kFrench = QStringLiteral("Nom :|Description :|État de l'instrument|"
                                       "Nouvelle capture...|"
                                       "Capturer le réglage actuel de l'instrument|Restaurer|"
                                       "Restaurer l'état sélectionné sur l'instrument");

} // namespace

// The thread's agent and provider, and the switch of language at run time on a small form.
class TestGlobals : public QObject {
    Q_OBJECT

private slots:
    void emptyOutsideTheLifeOfControls() {
        QVERIFY(gResources.isEmpty() && gResourcesAgent.isEmpty());
        QCOMPARE(errorOf([] { gResources->LoadResString(221); }), ErrorNumber::ObjectNotSet);
        QCOMPARE(errorOf([] { gResourcesAgent->SetResourceValuesForObject(nullptr); }),
                 ErrorNumber::ObjectNotSet);
        // A termination without a creation must not leave the count below zero.
        FreeResources();
        auto first = std::make_unique<SampleControl>();
        {
            SampleControl second;
            QCOMPARE(resourcesUserCount(), 2);
            second.LoadResources(33);
        }
        // The remaining control still finds the pair, with the provider chosen last.
        QCOMPARE(gResources->LoadResString(221), QStringLiteral("Erreur"));
        first.reset();
        QVERIFY(gResources.isEmpty() && gResourcesAgent.isEmpty());
        QCOMPARE(errorOf([] { gResources->CountryCode(); }), ErrorNumber::ObjectNotSet);
    }

    void secondControlGetsNewAgentAndBuiltInProvider() {
        SampleControl first;
        const auto firstAgent = gResourcesAgent.shared();
        first.LoadResources(49);
        QCOMPARE(first.texts(), kGerman);

        const SampleControl second;
        QVERIFY(gResourcesAgent.shared() != firstAgent);
        QCOMPARE(gResources->CountryCode(), 0);
        QCOMPARE(gResources.object(), gResourcesAgent->resources());
        QCOMPARE(second.texts(), kEnglish);
        // The first control keeps the texts it shows.
        QCOMPARE(first.texts(), kGerman);
    }

    void eachThreadHasItsOwnPair() {
        const SampleControl control;
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

    void switchesLanguage_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("texts");
        QTest::newRow("German") << 49 << kGerman;
        QTest::newRow("French") << 33 << kFrench;
        QTest::newRow("no catalogue") << 44 << kEnglish;
        // The Japanese texts themselves are checked with the catalogues.
        if (!QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK JP")))
            QTest::newRow("Japanese without its font") << 81 << kEnglish;
    }

    void switchesLanguage() {
        QFETCH(int, code);
        QFETCH(QString, texts);
        SampleControl control;
        QCOMPARE(control.texts(), kEnglish);
        control.LoadResources(code);
        QCOMPARE(control.texts(), texts);
        QCOMPARE(gResources->CountryCode(), texts == kEnglish ? 0 : code);
        control.LoadResources(0);
        QCOMPARE(control.texts(), kEnglish);
    }
};

QTEST_MAIN(TestGlobals)
#include "tst_globals.moc"
