#include "TestFiles.h"
#include "WindowTestSession.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/MainWindow.h"
#include "desktop/SettingsDialog.h"
#include "desktop/SetupsDocument.h"
#include "instruments/ScpiSettings.h"
#include "model/StateDocument.h"
#include "support/CancellableInstrument.h"
#include "support/HostDocument.h"
#include "support/StateFile.h"

#include <QCheckBox>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QSettings>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

using namespace ixo;
using ixo::test::FakeSetup;

namespace {

// A learn-string instrument whose settings are those of its capture.
class TextSetup : public FakeSetup, public CancellableInstrument {
public:
    TextSetup() { captured = QStringLiteral(":FREQ 1E6;:POW -10;:OUTP ON"); }
    std::atomic<int> captureDelayMs = 0;
    std::atomic<bool> cancelled = false;

    QString resourceName() const override { return QStringLiteral("FAKE::1"); }
    void cancel() override { cancelled = true; }

    QVariant CaptureState() override {
        for (int waited = 0; waited < captureDelayMs && !cancelled; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (cancelled)
            throw AutomationError(ErrorNumber::Fail, QStringLiteral("TextSetup"),
                                  QStringLiteral("connection aborted"));
        return FakeSetup::CaptureState();
    }
};

InstrumentSettings settingsOf(const std::shared_ptr<TextSetup> &setup) {
    return {[setup] { return ScpiSettings::parse(setup->captured.toString()); },
            [](const QString &, const QString &) {}};
}

} // namespace

class TestSetupsWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestSession> m_session;
    std::shared_ptr<TextSetup> m_setup;
    std::unique_ptr<MainWindow> m_window;

    // A state on the connected model.
    std::shared_ptr<ItemStateInfo> state(const QString &name) const {
        return FakeSetup::state(name, QString(), m_setup->model, m_setup->version);
    }

    // A document with the states A and B on the connected model.
    QString writeDocument() {
        const auto a = state(QStringLiteral("A")), b = state(QStringLiteral("B"));
        a->setData(QStringLiteral(":FREQ 2E6;:POW -10;:AM:STAT ON"));
        b->setData(QStringLiteral(":FREQ 1E6;:OUTP OFF"));
        return m_session->saveDocument(QStringLiteral("states.ixs"), {a, b});
    }

    QStringList rows() const { return test::rowsOf(*m_window->control().stateListView); }

    QAction *menuAction(const QString &text) const {
        for (QAction *action : m_window->menuBar()->findChildren<QAction *>()) {
            if (action->text().startsWith(text))
                return action;
        }
        return nullptr;
    }

private slots:
    void initTestCase() {
        test::WindowTestSession::registerProgram(QStringLiteral("tst_setupswindow"));
    }

    void init() {
        m_session = std::make_unique<test::WindowTestSession>();
        m_setup = std::make_shared<TextSetup>();
        m_window = std::make_unique<MainWindow>(m_setup, settingsOf(m_setup));
        QVERIFY(m_window->openDocument(writeDocument()));
    }

    void cleanup() {
        m_window.reset();
        m_session.reset();
    }

    void compare_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("summary");
        // Rows: setting|first|second|highlight (c changed, 1 only first, 2 only second).
        QTest::newRow("a state against the instrument")
            << QStringList{"A"} << QStringList{"Setting", "Instrument", "A"}
            << QStringList{":AM:STAT||ON|2", ":FREQ|1E6|2E6|c", ":OUTP|ON||1", ":POW|-10|-10|"}
            << "The instrument against \"A\": 1 changed, 1 only in the instrument, 1 only in "
               "\"A\".";
        QTest::newRow("two states with Ctrl+click")
            << QStringList{"A", "B"} << QStringList{"Setting", "A", "B"}
            << QStringList{":AM:STAT|ON||1", ":FREQ|2E6|1E6|c", ":OUTP||OFF|2", ":POW|-10||1"}
            << "\"A\" against \"B\": 1 changed, 2 only in \"A\", 1 only in \"B\".";
        QTest::newRow("no selection shows the instrument")
            << QStringList{} << QStringList{"Setting", "Value"}
            << QStringList{":FREQ|1E6", ":OUTP|ON", ":POW|-10"} << QString();
    }

    void compare() {
        QFETCH(QStringList, selected);
        QFETCH(QStringList, headers);
        if (selected.size() == 2) {
            // The second state comes from a real Ctrl+click on its row.
            m_window->selectStates({selected[0]});
            ListView &list = *m_window->control().stateListView;
            const QRect row = list.visualItemRect(list.topLevelItem(1));
            QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, row.center());
            QCOMPARE(list.selectedRow(), 1);
        } else {
            m_window->selectStates(selected);
        }
        const QTableWidget &table = m_window->panel().table();
        QStringList shownHeaders;
        for (int column = 0; column < table.columnCount(); ++column)
            shownHeaders << table.horizontalHeaderItem(column)->text();
        QCOMPARE(shownHeaders, headers);
        const std::pair<QColor, const char *> marks[] = {{InstrumentPanel::kChanged, "c"},
                                                         {InstrumentPanel::kOnlyHere, "1"},
                                                         {InstrumentPanel::kOnlyThere, "2"}};
        QStringList shown;
        for (int row = 0; row < table.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table.columnCount(); ++column)
                cells << table.item(row, column)->text();
            if (table.columnCount() > 2) {
                QString mark;
                for (const auto &[colour, name] : marks)
                    if (table.item(row, 1)->background().color() == colour)
                        mark = QString::fromLatin1(name);
                cells << mark;
            }
            shown << cells.join(QLatin1Char('|'));
        }
        QTEST(shown, "table");
        if (!selected.isEmpty())
            QTEST(m_window->panel().summary(), "summary");
    }

    void comparesBlocksBySizeAndChecksum() {
        m_setup->captured = QByteArray("123456789");
        m_window->document().stateInfo()->item(1)->setData(QByteArray("\x00", 1));
        m_window->selectStates({QStringLiteral("A")});
        QCOMPARE(m_window->panel().summary(),
                 QStringLiteral("Setup blocks: the instrument size 9, CRC-32 cbf43926; \"A\" size "
                                "1, CRC-32 d202ef8d. They differ."));
    }

    void preview_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("restored");
        QTest::addColumn<QString>("message");
        QTest::newRow("accepted") << true << int(MessageBoxResult::Yes) << true
                                  << ":AM:STAT: set to ON\n:FREQ: 1E6 becomes 2E6\n:OUTP: ON "
                                     "(not in the saved state)";
        QTest::newRow("cancelled")
            << true << int(MessageBoxResult::No) << false
            << "Failed to reset instrument to saved state\r\nError Details: \r\n\r\nCancelled by "
               "the user";
        QTest::newRow("switched off") << false << 0 << true << QString();
    }

    void preview() {
        QFETCH(bool, enabled);
        QFETCH(int, answer);
        QFETCH(bool, restored);
        QFETCH(QString, message);
        // The option is set as the Settings dialog sets it.
        m_session->user->answerModal([enabled](QDialog &dialog) {
            dialog.findChild<QCheckBox *>(QStringLiteral("restorePreview"))->setChecked(enabled);
            return int(QDialog::Accepted);
        });
        QMetaObject::invokeMethod(m_window.get(), "showSettingsDialog");
        QCOMPARE(SettingsDialog::previewEnabled(), enabled);
        m_session->user->answerMessageBox(answer);
        m_window->selectStates({QStringLiteral("A")});
        m_window->control().restoreBtn->click();
        QCOMPARE(m_setup->restored.has_value(), restored);
        const auto &boxes = m_session->user->messageBoxes();
        QCOMPARE(boxes.size(),
                 message.isEmpty() ? 0u : std::size_t(enabled ? (restored ? 1 : 2) : 0));
        if (!message.isEmpty())
            QVERIFY2(boxes.back().text.contains(message) || boxes.front().text.contains(message),
                     qPrintable(boxes.back().text));
    }

    void undo() {
        QCOMPARE(m_window->canUndo(), false);
        m_setup->captured = QStringLiteral(":FREQ 5E6");
        test::answerNameDialog(*m_session->user, QStringLiteral("C"));
        m_window->control().captureNewBtn->click();
        // Changes the event loop sees apart are taken back apart.
        QCoreApplication::processEvents();
        m_window->selectStates({QStringLiteral("A")});
        m_window->control().removeBtn->click();
        QCOMPARE(rows(), (QStringList{"B", "C"}));
        m_window->undo();
        QCOMPARE(rows(), (QStringList{"A", "B", "C"}));
        QCOMPARE(m_window->document().stateInfo()->item(1)->data().toString(),
                 QStringLiteral(":FREQ 2E6;:POW -10;:AM:STAT ON"));
        m_window->undo();
        QCOMPARE(rows(), (QStringList{"A", "B"}));
        QVERIFY(!m_window->canUndo());
        QVERIFY(!m_window->document().isModified());
        // Export changes nothing, so there is nothing to take back.
        m_session->user->answerFileDialog(m_session->path(QStringLiteral("a.sta")));
        m_window->selectStates({QStringLiteral("A")});
        m_window->control().exportBtn->click();
        QVERIFY(QFile::exists(m_session->path(QStringLiteral("a.sta"))));
        QVERIFY(!m_window->canUndo());
        // A rename removes and adds, and is taken back as one change; Redo makes it again.
        test::answerNameDialog(*m_session->user, QStringLiteral("A2"));
        m_window->control().editNameBtn->click();
        QCOMPARE(rows(), (QStringList{"B", "A2"}));
        m_window->undo();
        QCOMPARE(rows(), (QStringList{"A", "B"}));
        QAction *redo = menuAction(QStringLiteral("&Redo"));
        QVERIFY(redo && redo->isEnabled());
        redo->trigger();
        QCOMPARE(rows(), (QStringList{"B", "A2"}));
        // A change made to the list itself, not through the control, is taken back too.
        m_window->document().stateInfo()->Items()->Remove(QStringLiteral("B"));
        m_window->undo();
        QCOMPARE(rows(), (QStringList{"B", "A2"}));
        // Opening a document ends what can be taken back.
        m_window->control().removeBtn->click();
        QVERIFY(m_window->canUndo());
        m_session->user->answerMessageBox(MessageBoxResult::No);
        QVERIFY(m_window->openDocument(writeDocument()));
        QVERIFY(!m_window->canUndo());
    }

    void dragAndDrop_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("state file") << "c.sta" << QStringList{"A", "B", "C"} << QString();
        QTest::newRow("taken name is asked for again")
            << "a.sta" << QStringList{"A", "B"} << "A is already";
        QTest::newRow("not a state file") << "junk.sta" << QStringList{"A", "B"}
                                          << "junk.sta does not appear to be a standard state file";
        QTest::newRow("document opens") << "other.ixs" << QStringList{"C"} << QString();
    }

    void dragAndDrop() {
        QFETCH(QString, file);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        // State files as the control's Export writes them.
        StateFile files;
        files.SaveObject(state(QStringLiteral("C")), m_session->path(QStringLiteral("c.sta")));
        files.SaveObject(state(QStringLiteral("A")), m_session->path(QStringLiteral("a.sta")));
        QVERIFY(test::writeFile(m_session->path(QStringLiteral("junk.sta")), "not a state"));
        m_session->saveDocument(QStringLiteral("other.ixs"), {state(QStringLiteral("C"))});
        // The instrument reads no legacy setup from the junk either.
        m_setup->failImport = true;
        // A name clash asks for another name; the user cancels it.
        test::answerNameDialog(*m_session->user, QStringLiteral("C"), QString(), false);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(m_session->path(file))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(m_window.get(), &drop);
        QVERIFY(drop.isAccepted());
        // The drop is handled once the drag has ended.
        QTRY_VERIFY2(this->rows() == rows && m_session->lastMessage().contains(message),
                     qPrintable(this->rows().join(',') + ": " + m_session->lastMessage()));
    }

    void backupAndRefusals_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("message");
        PropertyBag newer;
        newer.WriteProperty(StateDocument::kFormatVersionKey, StateDocument::kFormatVersion + 1);
        newer.WriteProperty(HostDocument::kStateListKey,
                            QVariant::fromValue<ObjectRef>(std::make_shared<StateInfo>()));
        QTest::newRow("newer version") << newer.Contents() << "saved by a newer version";
        QTest::newRow("damaged") << QByteArray("\xa2\x01", 2) << "Could not open";
    }

    void backupAndRefusals() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, message);
        const QString fileName = m_session->path(QStringLiteral("saved.ixs"));
        QVERIFY(m_window->saveTo(fileName));
        QVERIFY(!QFile::exists(StateDocument::backupName(fileName)));
        const QByteArray first = test::readFile(fileName);
        m_window->selectStates({QStringLiteral("A")});
        m_window->control().removeBtn->click();
        QVERIFY(m_window->saveTo(fileName));
        QCOMPARE(test::readFile(StateDocument::backupName(fileName)), first);
        // A document this version cannot read changes nothing.
        const QString bad = m_session->path(QStringLiteral("bad.ixs"));
        QVERIFY(test::writeFile(bad, contents));
        QVERIFY(!m_window->openDocument(bad));
        QVERIFY2(m_session->lastMessage().contains(message), qPrintable(m_session->lastMessage()));
        QCOMPARE(rows(), QStringList{"B"});
        QCOMPARE(m_window->document().fileName(), fileName);
    }

    void longCaptureShowsProgressAndCancels() {
        m_setup->captureDelayMs = 5000;
        test::answerNameDialog(*m_session->user, QStringLiteral("Slow"));
        QString label;
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(50);
        QTimer::singleShot(900, this, [&] {
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *dialog = qobject_cast<QProgressDialog *>(widget);
                    dialog && dialog->isVisible()) {
                    label = dialog->labelText();
                    dialog->findChild<QPushButton *>()->click();
                }
        });
        QElapsedTimer elapsed;
        elapsed.start();
        m_window->control().captureNewBtn->click();
        QVERIFY(elapsed.elapsed() < 4000);
        QCOMPARE(label, QStringLiteral("Capturing the setup of FAKE::1..."));
        QVERIFY(ticks >= 10);
        QVERIFY2(m_session->lastMessage().contains(QStringLiteral("Cancelled by the user")),
                 qPrintable(m_session->lastMessage()));
        QCOMPARE(rows(), (QStringList{"A", "B"}));
        QVERIFY(!m_window->canUndo());
    }

    void languageMenuSwitchesTheWindow_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QString>("header");
        const auto add = [](const char *language, const QStringList &menus, const char *header) {
            QTest::newRow(language)
                << QString::fromUtf8(language) << menus << QString::fromUtf8(header);
        };
        add("Deutsch", {"&Datei", "&Bearbeiten", "&Gerät", "&Sprache"}, "Einstellung");
        add("Français", {"&Fichier", "É&dition", "&Instrument", "&Langue"}, "Réglage");
        add("English", {"&File", "&Edit", "&Instrument", "&Language"}, "Setting");
    }

    void languageMenuSwitchesTheWindow() {
        QFETCH(QString, language);
        QFETCH(QStringList, menus);
        for (QAction *menu : m_window->menuBar()->actions())
            for (QAction *action : menu->menu()->actions())
                if (action->text() == language)
                    action->trigger();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QStringList shown;
        for (QAction *menu : m_window->menuBar()->actions())
            shown << menu->text();
        QCOMPARE(shown, menus);
        QTEST(m_window->panel().table().horizontalHeaderItem(0)->text(), "header");
    }

    void settingsTableTakesTheExtraRoom() {
        m_window->resize(900, 400);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const int controlWidth = m_window->control().width();
        const int tableWidth = m_window->panel().width();
        m_window->resize(1400, 700);
        QTRY_COMPARE(m_window->panel().width(), tableWidth + 500);
        QCOMPARE(m_window->control().width(), controlWidth);
        m_window->close();
        const QSettings settings;
        QVERIFY(!settings.value(QStringLiteral("window/geometry")).toByteArray().isEmpty());
        QVERIFY(!settings.value(QStringLiteral("window/splitter")).toByteArray().isEmpty());
    }
};

QTEST_MAIN(TestSetupsWindow)
#include "tst_setupswindow.moc"
