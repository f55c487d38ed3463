#include "WindowTestSession.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "desktop/BenchStrip.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/MainWindow.h"
#include "desktop/RoleView.h"
#include "desktop/SettingsDialog.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/simulator/InProcessTransport.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/BenchStates.h"
#include "model/StateDocument.h"

#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <map>

using namespace ixo;

namespace {

const QStringList kRoles{"generator", "scope", "supply"};
const QString kCold = QStringLiteral(":FREQ 1E6;:POW -30");
const QString kWarm = QStringLiteral(":FREQ 2E9;:POW -5");

QString resourceOf(const QString &role) {
    return QStringLiteral("SIM::") + role;
}

} // namespace

// The window on a bench of simulated instruments in the process, one per role, which the
// test sets up and breaks directly.
class TestBenchWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestSession> m_session;
    std::map<QString, std::shared_ptr<SimulatedDevice>> m_devices;
    std::unique_ptr<MainWindow> m_window;

    SimulatedDevice &device(const QString &role) { return *m_devices.at(role); }

    void setAll(const QString &commands) {
        for (const QString &role : kRoles)
            device(role).apply(commands.toUtf8());
    }

    QString frequencies() {
        QStringList values;
        for (const QString &role : kRoles)
            values << device(role).setting(QStringLiteral(":FREQ"));
        return values.join(QLatin1Char(' '));
    }

    QStringList rowsOf(int role) const {
        return test::rowsOf(*m_window->roleView(role).control().stateListView);
    }

    QAction &undoRestoreAction() const {
        return *m_window->menuBar()->findChild<QAction *>(QStringLiteral("undoRestore"));
    }

    // A bench with the states Cold and Warm on every instrument, now in Warm.
    void captureColdAndWarm() {
        m_window->newBench({{kRoles[0], resourceOf(kRoles[0])},
                            {kRoles[1], resourceOf(kRoles[1])},
                            {kRoles[2], resourceOf(kRoles[2])}});
        setAll(kCold);
        QVERIFY(m_window->benchStrip().capture(QStringLiteral("Cold"), QString()));
        setAll(kWarm);
        QVERIFY(m_window->benchStrip().capture(QStringLiteral("Warm"), QString()));
    }

    // Runs command, pressing Cancel once the progress dialog says progress; false if it never
    // did.
    bool cancelOnceShowing(const QString &progress, const std::function<void()> &command) {
        bool shown = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QProgressDialog *>(widget);
                if (!shown && dialog && dialog->isVisible() && dialog->labelText() == progress) {
                    shown = true;
                    dialog->findChild<QPushButton *>()->click();
                }
            }
        });
        poll.start(20);
        command();
        return shown;
    }

private slots:
    void initTestCase() {
        test::WindowTestSession::registerProgram(QStringLiteral("tst_benchwindow"));
    }

    void init() {
        m_session = std::make_unique<test::WindowTestSession>();
        QSettings().setValue(SettingsDialog::kPreviewKey, false);
        for (const QString &role : kRoles)
            m_devices[role] = SimulatedDevice::forFamily(SimulatedDevice::kDefaultFamily);
        m_window = std::make_unique<MainWindow>(nullptr, InstrumentSettings());
        m_window->setOpener([this](const QString &resource, const QString &profile) {
            auto instrument = std::make_shared<ScpiInstrument>(
                std::make_unique<InProcessTransport>(m_devices.at(resource.mid(5))));
            instrument->useProfiles(std::make_shared<const InstrumentProfiles>(), profile);
            return instrument;
        });
        QVERIFY(m_window->connectTo(resourceOf(kRoles[0])));
    }

    void cleanup() {
        m_window.reset();
        m_devices.clear();
        m_session.reset();
    }

    // Each role's list in a tab of its own, connected to the role's instrument; the tabs and
    // the bench strip show only for more than one role.
    void opensOneTabPerRole_data() {
        QTest::addColumn<QStringList>("roles");
        QTest::addColumn<bool>("tabsShown");
        QTest::newRow("bench of three") << kRoles << true;
        QTest::newRow("bench of one") << QStringList{"scope"} << false;
        QTest::newRow("one instrument, no role named") << QStringList{} << false;
    }

    void opensOneTabPerRole() {
        QFETCH(QStringList, roles);
        QFETCH(bool, tabsShown);
        StateDocument document(std::make_shared<CIxoResourcesDefault>());
        for (const QString &role : roles) {
            document.addRole(role, resourceOf(role), QString());
            document.role(role).add(test::FakeSetup::state("In " + role, QString(),
                                                           SimulatedDevice::kDefaultModel,
                                                           SimulatedDevice::kDefaultVersion));
        }
        const QString fileName = m_session->path(QStringLiteral("bench.ixs"));
        document.save(fileName);
        QVERIFY(m_window->openDocument(fileName));
        QCOMPARE(m_window->roleCount(), std::max(1, int(roles.size())));
        QCOMPARE(m_window->roleTabs().isVisibleTo(m_window.get()), tabsShown);
        QCOMPARE(m_window->benchStrip().isVisibleTo(m_window.get()), tabsShown);
        for (int index = 0; index < roles.size(); ++index) {
            QCOMPARE(m_window->roleTabs().tabText(index), roles[index]);
            QCOMPARE(rowsOf(index), QStringList{"In " + roles[index]});
            QCOMPARE(m_window->roleView(index).connection().resource(), resourceOf(roles[index]));
            QVERIFY(m_window->roleView(index).connection().isConnected());
        }
        QVERIFY(m_session->user->messageBoxes().empty());
    }

    // All or nothing: one instrument failing leaves every list as it was and names the role.
    void captureBench_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("every instrument answers") << QString() << QStringList{"Warm"};
        QTest::newRow("the scope fails") << "scope" << QStringList{};
    }

    void captureBench() {
        QFETCH(QString, failing);
        QFETCH(QStringList, rows);
        m_window->newBench({{kRoles[0], resourceOf(kRoles[0])},
                            {kRoles[1], resourceOf(kRoles[1])},
                            {kRoles[2], resourceOf(kRoles[2])}});
        if (!failing.isEmpty())
            device(failing).failNextCapture();
        test::answerNameDialog(*m_session->user, QStringLiteral("Warm"), QStringLiteral("on"));
        m_window->benchStrip().findChild<QPushButton *>(QStringLiteral("captureBench"))->click();
        for (int role = 0; role < kRoles.size(); ++role)
            QCOMPARE(rowsOf(role), rows);
        QCOMPARE(m_window->benchStrip().states().count(), rows.size());
        if (failing.isEmpty()) {
            QVERIFY(m_session->user->messageBoxes().empty());
            // One change of every list, taken back at once.
            m_window->undo();
            for (int role = 0; role < kRoles.size(); ++role)
                QCOMPARE(rowsOf(role), QStringList{});
        } else {
            const QString message = m_session->lastMessage();
            QVERIFY2(message.contains("not captured") && message.contains("scope (SIM::scope)"),
                     qPrintable(message));
            QVERIFY(!m_window->canUndo());
        }
    }

    // Role by role until one fails; the report names every role, and the roles restored before
    // the failure can be put back.
    void restoreBench_data() {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("safetyCapture");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("report");
        QTest::addColumn<QString>("frequencies");
        const QString cold = "1.000000E+06", warm = "2.000000E+09";
        QTest::newRow("every instrument restored")
            << QString() << true << 0
            << QStringList{"generator: restored", "scope: restored", "supply: restored"}
            << QStringList{cold, cold, cold}.join(' ');
        const QStringList scopeFails{"generator: restored", "scope: failed: ",
                                     "supply: not restored (an earlier role failed)"};
        const QStringList offer =
            scopeFails + QStringList{"Put back the setups the restore replaced on generator?"};
        QTest::newRow("the scope fails, the generator is put back")
            << "scope" << true << int(MessageBoxResult::Yes) << offer
            << QStringList{warm, warm, warm}.join(' ');
        QTest::newRow("the scope fails, the generator stays")
            << "scope" << true << int(MessageBoxResult::No) << offer
            << QStringList{cold, warm, warm}.join(' ');
        QTest::newRow("the scope fails, nothing kept to put back")
            << "scope" << false << int(MessageBoxResult::Yes) << scopeFails
            << QStringList{cold, warm, warm}.join(' ');
    }

    void restoreBench() {
        QFETCH(QString, failing);
        QFETCH(bool, safetyCapture);
        QFETCH(int, answer);
        QFETCH(QStringList, report);
        captureColdAndWarm();
        QSettings().setValue(SettingsDialog::kSafetyCaptureKey, safetyCapture);
        if (!failing.isEmpty())
            device(failing).failNextRestore();
        m_session->user->answerMessageBox(answer);
        QComboBox &states = m_window->benchStrip().states();
        states.setCurrentIndex(states.findText(QStringLiteral("Cold")));
        m_window->benchStrip().findChild<QPushButton *>(QStringLiteral("restoreBench"))->click();
        QCOMPARE(m_session->user->messageBoxes().size(), 1u);
        const QString message = m_session->lastMessage();
        for (const QString &line : report)
            QVERIFY2(message.contains(line), qPrintable(message));
        // Only what was kept can be put back.
        QCOMPARE(message.contains("Put back"), !failing.isEmpty() && safetyCapture);
        QTEST(frequencies(), "frequencies");
        // A setting of the window, not of the document's roles.
        for (const BenchRole &role : m_window->document().model().roles())
            QVERIFY(role.safetyCapture());
    }

    // A bench command waiting on a slow instrument says how far it has come, and its Cancel
    // ends it: a capture changes no list, a restore reports as a failure part-way does.
    void cancelSlowBenchCommand_data() {
        QTest::addColumn<bool>("capturing");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<QStringList>("report");
        QTest::newRow("capture")
            << true << "Capturing bench state Slow: 2 of 3 instruments answered"
            << QStringList{"Bench state \"Slow\" was not captured: cancelled by the user"};
        QTest::newRow("restore") << false << "Restoring scope (2 of 3)"
                                 << QStringList{
                                        "generator: restored",
                                        "scope: failed: Cancelled by the user",
                                        "supply: not restored (an earlier role failed)",
                                        "Put back the setups the restore replaced on generator?"};
    }

    void cancelSlowBenchCommand() {
        QFETCH(bool, capturing);
        QFETCH(QString, progress);
        QFETCH(QStringList, report);
        captureColdAndWarm();
        QPushButton *button = m_window->benchStrip().findChild<QPushButton *>(
            capturing ? "captureBench" : "restoreBench");
        if (capturing) {
            device("scope").stallNextCapture();
            test::answerNameDialog(*m_session->user, QStringLiteral("Slow"));
        } else {
            device("scope").delayNextRestore(SimulatedDevice::kStallMs);
            m_session->user->answerMessageBox(MessageBoxResult::No);
            m_window->benchStrip().states().setCurrentText(QStringLiteral("Cold"));
        }
        QVERIFY(cancelOnceShowing(progress, [button] { button->click(); }));
        QCOMPARE(m_session->user->messageBoxes().size(), 1u);
        for (const QString &line : report)
            QVERIFY2(m_session->lastMessage().contains(line), qPrintable(m_session->lastMessage()));
        for (int role = 0; role < kRoles.size(); ++role)
            QCOMPARE(rowsOf(role), (QStringList{"Cold", "Warm"}));
        QCOMPARE(m_window->benchStrip().states().count(), 2);
    }

    // Instrument > Connect... on a bench tab names the new instrument in the role, so that the
    // saved bench reaches it; a document of one instrument names none.
    void connectKeepsTheRoleResource_data() {
        QTest::addColumn<bool>("bench");
        QTest::addColumn<QString>("resource");
        QTest::newRow("the scope of a bench") << true << resourceOf("spare");
        QTest::newRow("one instrument") << false << QString();
    }

    void connectKeepsTheRoleResource() {
        QFETCH(bool, bench);
        QFETCH(QString, resource);
        if (bench) {
            captureColdAndWarm();
            QVERIFY(m_window->saveTo(m_session->path(QStringLiteral("before.ixs"))));
            m_window->roleTabs().setCurrentIndex(1);
        }
        m_devices["spare"] = SimulatedDevice::forFamily(SimulatedDevice::kDefaultFamily);
        QVERIFY(m_window->connectTo(resourceOf("spare")));
        QCOMPARE(m_window->document().isModified(), bench);
        QCOMPARE(m_window->isWindowModified(), bench);
        const QString fileName = m_session->path(QStringLiteral("connected.ixs"));
        QVERIFY(m_window->saveTo(fileName));
        const StateDocument saved =
            StateDocument::open(fileName, std::make_shared<CIxoResourcesDefault>());
        QCOMPARE(saved.roles().at(bench ? 1 : 0).resource(), resource);
        if (!bench)
            return;
        QCOMPARE(saved.role(kRoles[0]).resource(), resourceOf(kRoles[0]));
        QVERIFY(m_window->openDocument(fileName));
        QCOMPARE(m_window->roleView(1).connection().resource(), resource);
    }

    // Edit > Undo Restore puts back what the control's Restore replaced, on the current tab's
    // instrument, also after the document was saved and opened again.
    void undoRestoreAfterControlRestore_data() {
        QTest::addColumn<int>("role");
        QTest::addColumn<bool>("safetyCapture");
        QTest::newRow("one instrument") << -1 << true;
        QTest::newRow("the scope of a bench") << 1 << true;
        QTest::newRow("safety capture turned off") << 1 << false;
    }

    void undoRestoreAfterControlRestore() {
        QFETCH(int, role);
        QFETCH(bool, safetyCapture);
        QSettings().setValue(SettingsDialog::kSafetyCaptureKey, safetyCapture);
        if (role >= 0) {
            captureColdAndWarm();
            m_window->roleTabs().setCurrentIndex(role);
        } else {
            setAll(kCold);
            test::answerNameDialog(*m_session->user, QStringLiteral("Cold"));
            m_window->control().captureNewBtn->click();
            setAll(kWarm);
        }
        SimulatedDevice &instrument = device(kRoles[std::max(0, role)]);
        const auto restoreCold = [&] {
            m_window->selectStates({QStringLiteral("Cold")});
            m_window->control().restoreBtn->click();
            QCOMPARE(instrument.setting(":POW"), QStringLiteral("-30.00"));
        };
        restoreCold();
        QCOMPARE(undoRestoreAction().isEnabled(), safetyCapture);
        if (role > 0) {
            // About the current tab's instrument only.
            m_window->roleTabs().setCurrentIndex(0);
            QVERIFY(!undoRestoreAction().isEnabled());
            m_window->roleTabs().setCurrentIndex(role);
        }
        undoRestoreAction().trigger();
        QCOMPARE(instrument.setting(":POW"), safetyCapture ? "-5.00" : "-30.00");
        QVERIFY(!undoRestoreAction().isEnabled());
        // Kept with the document.
        restoreCold();
        const QString fileName = m_session->path(QStringLiteral("kept.ixs"));
        QVERIFY(m_window->saveTo(fileName));
        m_window->document().reset();
        QVERIFY(!undoRestoreAction().isEnabled());
        QVERIFY(m_window->openDocument(fileName));
        m_window->roleTabs().setCurrentIndex(std::max(0, role));
        QCOMPARE(undoRestoreAction().isEnabled(), safetyCapture);
        undoRestoreAction().trigger();
        QCOMPARE(instrument.setting(":POW"), safetyCapture ? "-5.00" : "-30.00");
        QVERIFY2(m_session->user->messageBoxes().empty(), qPrintable(m_session->lastMessage()));
    }

    // A language chosen in the menu reaches the strip and the control of every tab.
    void languageReachesEveryTab() {
        captureColdAndWarm();
        const QString english = m_window->roleView(2).control().captureNewBtn->text();
        for (QAction *action : m_window->menuBar()->findChildren<QAction *>()) {
            if (action->text() == QStringLiteral("Deutsch"))
                action->trigger();
        }
        QCoreApplication::processEvents();
        const QString german = m_window->roleView(0).control().captureNewBtn->text();
        QVERIFY(german != english);
        QCOMPARE(m_window->roleView(2).control().captureNewBtn->text(), german);
        QCOMPARE(m_window->benchStrip().findChild<QPushButton *>("captureBench")->text(),
                 QStringLiteral("Messplatz &erfassen..."));
    }
};

QTEST_MAIN(TestBenchWindow)
#include "tst_benchwindow.moc"
