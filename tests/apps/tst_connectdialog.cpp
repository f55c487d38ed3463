#include "ServedDevice.h"
#include "WindowTestSession.h"
#include "control/MarkerImages.h"
#include "desktop/ConnectDialog.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/MainWindow.h"
#include "desktop/RecentItems.h"
#include "desktop/SetupsDocument.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/servers/Vxi11Server.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>
#include <QTreeWidget>

using namespace ixo;
using Served = test::ServedDevice<SimulatorServer>;

namespace {

// As the instrument names itself.
QString resourceOf(const Served &served) {
    return QStringLiteral("TCPIP0::127.0.0.1::%1::SOCKET").arg(served.port());
}

// A loopback port on which nobody listens.
quint16 closedPort() {
    QTcpServer server;
    return server.listen(QHostAddress::LocalHost, 0) ? server.serverPort() : 0;
}

} // namespace

// The Instrument menu and the Connect dialog against simulators served on loopback: the first
// the window starts on, a second of another model to switch to.
class TestConnectDialog : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestSession> m_session;
    std::unique_ptr<Served> m_first;
    std::unique_ptr<Served> m_second;
    std::unique_ptr<MainWindow> m_window;

    // States "Here" from the first simulator's model and "There" from the second's.
    QString writeDocument() {
        const auto state = [](const QString &name, const Served &served) {
            auto item = test::FakeSetup::state(name, QString(), served.device->model(),
                                               SimulatedDevice::kDefaultVersion);
            item->setData(QStringLiteral(":FREQ 1E6"));
            return item;
        };
        return m_session->saveDocument(
            QStringLiteral("bench.ixs"),
            {state(QStringLiteral("Here"), *m_first), state(QStringLiteral("There"), *m_second)});
    }

    QList<int> markers() const { return test::iconsOf(*m_window->control().stateListView); }

    // Plays the user on the Connect dialog: types the resource, tests it, then connects.
    void answerConnectDialog(const QString &resource, QString *testResult, QString *profile) {
        m_session->user->answerModal([=](QDialog &form) {
            auto &dialog = static_cast<ConnectDialog &>(form);
            dialog.resourceEdit().clear();
            QTest::keyClicks(&dialog.resourceEdit(), resource);
            QSignalSpy tested(&dialog, &ConnectDialog::tested);
            QTest::mouseClick(&dialog.testButton(), Qt::LeftButton);
            if (tested.isEmpty())
                tested.wait(10000);
            *testResult = dialog.testResult();
            *profile = dialog.profileText();
            return int(QDialog::Accepted);
        });
    }

private slots:
    void initTestCase() {
        test::WindowTestSession::registerProgram(QStringLiteral("tst_connectdialog"));
    }

    void init() {
        m_session = std::make_unique<test::WindowTestSession>();
        m_first = std::make_unique<Served>();
        m_second = std::make_unique<Served>(std::make_shared<SimulatedDevice>(
            QStringLiteral("SG-200"), SimulatedDevice::kDefaultVersion));
        QVERIFY(m_first->port() && m_second->port());
        // As the program starts on its --instrument.
        RecentItems::resources().remember(resourceOf(*m_first));
        auto instrument = InstrumentFactory::open(resourceOf(*m_first));
        InstrumentSettings settings = InstrumentConnection::settingsOf(instrument);
        m_window = std::make_unique<MainWindow>(std::move(instrument), std::move(settings));
        m_window->connection().setProfileDescriber([](const QString &, const QString &identity) {
            return identity.contains(QLatin1String("SG-200")) ? QStringLiteral("sg-200")
                                                              : QString();
        });
        QVERIFY(m_window->openDocument(writeDocument()));
    }

    void cleanup() {
        m_window.reset();
        m_session.reset();
        m_second.reset();
        m_first.reset();
    }

    void connectsAndMarksTheListAnew() {
        QCOMPARE(markers(), (QList<int>{0, MarkerImages::kOtherInstrument}));
        QVERIFY2(m_window->windowTitle().contains(resourceOf(*m_first) + " (SG-100)"),
                 qPrintable(m_window->windowTitle()));
        QString testResult, profile;
        answerConnectDialog(resourceOf(*m_second), &testResult, &profile);
        m_window->showConnectDialog();
        QVERIFY2(testResult.startsWith(QLatin1String("Answered: IXO,SG-200,")),
                 qPrintable(testResult));
        QCOMPARE(profile, QStringLiteral("sg-200"));
        const QString shown = resourceOf(*m_second) + " (SG-200)";
        QVERIFY2(m_window->windowTitle().contains(shown), qPrintable(m_window->windowTitle()));
        QCOMPARE(m_window->connectionStatus(), "Connected to " + shown);
        QCOMPARE(markers(), (QList<int>{MarkerImages::kOtherInstrument, 0}));
        QVERIFY(m_window->panel().identity().contains(QLatin1String("SG-200")));
        QCOMPARE(RecentItems::resources().items().value(0), resourceOf(*m_second));
        QVERIFY(!m_window->document().isModified());
        // A recent resource in the menu connects back.
        QAction *back = nullptr;
        for (QAction *action : m_window->menuBar()->actions().at(2)->menu()->actions())
            if (action->text() == resourceOf(*m_first))
                back = action;
        QVERIFY(back);
        back->trigger();
        QCOMPARE(markers(), (QList<int>{0, MarkerImages::kOtherInstrument}));
    }

    void testAnswersOrSaysWhy_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("result");
        QTest::newRow("malformed") << "bogus"
                                   << "No answer: Invalid resource string \"bogus\"";
        QTest::newRow("nobody listening")
            << QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(closedPort())
            << "cannot be reached";
    }

    void testAnswersOrSaysWhy() {
        QFETCH(QString, resource);
        QFETCH(QString, result);
        const QStringList before = RecentItems::resources().items();
        QString testResult, profile;
        answerConnectDialog(resource, &testResult, &profile);
        m_window->showConnectDialog();
        QVERIFY2(testResult.contains(result), qPrintable(testResult));
        if (result.startsWith(QLatin1String("No answer"))) {
            // Connecting fails the same way and the first simulator stays connected.
            QVERIFY2(m_session->lastMessage().contains(QLatin1String("Could not connect")),
                     qPrintable(m_session->lastMessage()));
            QCOMPARE(profile, QStringLiteral("chosen on connect"));
            QVERIFY(m_window->connectionStatus().contains(resourceOf(*m_first)));
            QCOMPARE(RecentItems::resources().items(), before);
        }
    }

    void disconnectedCommandsSayWhy_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("capture") << "captureNewBtn";
        QTest::newRow("restore") << "restoreBtn";
    }

    void disconnectedCommandsSayWhy() {
        QFETCH(QString, command);
        m_window->disconnectInstrument();
        QCOMPARE(m_window->connectionStatus(), QStringLiteral("Not connected"));
        QVERIFY(m_window->windowTitle().contains(QLatin1String("no instrument")));
        QCOMPARE(markers(),
                 (QList<int>{MarkerImages::kOtherInstrument, MarkerImages::kOtherInstrument}));
        m_window->selectStates({QStringLiteral("Here")});
        m_window->control().findChild<QPushButton *>(command)->click();
        QVERIFY2(m_session->lastMessage().contains(InstrumentRelay::notConnectedText()),
                 qPrintable(m_session->lastMessage()));
        QCOMPARE(m_window->control().stateListView->rowCount(), 2);
        QCOMPARE(m_window->panel().identity(), QStringLiteral("<b>Not connected</b>"));
    }

    void droppedConnectionReconnects() {
        m_first->device->dropNextCapture();
        test::acceptProposedName(*m_session->user);
        m_window->control().captureNewBtn->click();
        QVERIFY2(m_session->lastMessage().contains(resourceOf(*m_first)),
                 qPrintable(m_session->lastMessage()));
        QVERIFY2(m_window->connectionStatus().contains(QLatin1String("lost")),
                 qPrintable(m_window->connectionStatus()));
        QVERIFY(!m_window->statusBar()->currentMessage().isEmpty());
        test::acceptProposedName(*m_session->user);
        m_window->control().captureNewBtn->click();
        QCOMPARE(m_window->control().stateListView->rowCount(), 3);
        QVERIFY(m_window->connectionStatus().startsWith(QLatin1String("Connected to")));
        QVERIFY2(m_window->statusBar()->currentMessage().startsWith(QLatin1String("Reconnected")),
                 qPrintable(m_window->statusBar()->currentMessage()));
    }

    void profileShown_data() {
        QTest::addColumn<QString>("forced");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("profile");
        QTest::newRow("matching the answer")
            << QString() << "IXO,SG-100,000001,2.1.0" << InstrumentProfiles::kSimulatorName;
        QTest::newRow("forced by name")
            << InstrumentProfiles::kGenericName.toUpper() << "IXO,SG-100,000001,2.1.0"
            << InstrumentProfiles::kGenericName;
        QTest::newRow("no answer yet") << QString() << QString() << QString();
    }

    void profileShown() {
        QFETCH(QString, forced);
        QFETCH(QString, identity);
        QFETCH(QString, profile);
        const auto describe = ConnectDialog::describeProfiles(
            std::make_shared<const InstrumentProfiles>(m_session->dir.path()), forced);
        const QString shown = describe(QStringLiteral("SIM"), identity);
        QVERIFY2(profile.isEmpty() ? shown.isEmpty() : shown.startsWith(profile + ": "),
                 qPrintable(shown));
    }

    // The simulator's VXI-11 portmapper answers the search on loopback; picking the instrument
    // found fills the resource and the profile it will use.
    void discoveredInstrumentsAreOffered() {
        test::ServedDevice<Vxi11Server> lxi(std::make_shared<SimulatedDevice>(
            QStringLiteral("SG-200"), SimulatedDevice::kDefaultVersion));
        QVERIFY(lxi.port());
        InstrumentDiscovery::Options options;
        options.timeoutMs = 300;
        options.mdns = false;
        options.usbtmc = false;
        options.broadcastAddresses = {QHostAddress(QHostAddress::LocalHost)};
        options.portmapperPort = lxi.port();
        m_window->connection().setDiscoveryOptions(options);
        const std::unique_ptr<ConnectDialog> dialog =
            m_window->connection().makeConnectDialog(m_window.get());
        QCOMPARE(dialog->resource(), resourceOf(*m_first));
        const QString found = QStringLiteral("TCPIP::127.0.0.1::INSTR");
        QTRY_VERIFY_WITH_TIMEOUT(dialog->discoveredResources().contains(found), 10000);
        auto &list = dialog->discoveredList();
        const auto rows = list.findItems(found, Qt::MatchExactly, 0);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows[0]->text(1).contains(QLatin1String("SG-200")), qPrintable(rows[0]->text(1)));
        list.setCurrentItem(rows[0]);
        QCOMPARE(dialog->resource(), found);
        QCOMPARE(dialog->profileText(), QStringLiteral("sg-200"));
        // Searching goes on in the background and on demand.
        QTest::mouseClick(&dialog->refreshButton(), Qt::LeftButton);
        QVERIFY(dialog->discovery().isRunning());
    }
};

QTEST_MAIN(TestConnectDialog)
#include "tst_connectdialog.moc"
