#include "ControlHarness.h"
#include "TestFiles.h"
#include "localization/IxoResourcesGlobals.h"
#include "support/StateFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ixo;
using namespace ixo::test;

namespace {

const QString kErrorTitle = QStringLiteral("Error");

QList<QStringList> threeStates() {
    return {{QStringLiteral("State 1")},
            {QStringLiteral("State 2"), QStringLiteral("M200")},
            {QStringLiteral("State 4")}};
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void captureAddsMarkedState() {
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSmallIcon(1, 1);
        answerNameDialog(*h.user, QStringLiteral("State 3"));
        h.control.captureNewBtn->click();
        QCOMPARE(h.user->modalTitles(), std::vector<QString>{QStringLiteral("Capture New State")});
        QCOMPARE(h.rows(), h.names());
        QCOMPARE(h.rows().last(), QStringLiteral("State 3"));
        QCOMPARE(h.view().selectedRow(), 4);
        QCOMPARE(h.icons(), (QList<int>{0, 2, 0, 1}));
        const auto state = h.stateInfo->item(4);
        QCOMPARE(state->data(), h.setup->captured);
        QCOMPARE(state->Model(), QStringLiteral("M100"));
        QCOMPARE(h.control.MousePointer(), 0);
        QVERIFY(h.user->messageBoxes().empty());
    }

    void captureFailures() {
        ControlHarness h;
        // Without a list the dialog never opens.
        h.control.captureNewBtn->click();
        QVERIFY(h.user->modalTitles().empty());
        QCOMPARE(h.lastMessage(),
                 QStringLiteral("Failed to Capture State from the Instrument\r\n\r\nError Details: "
                                "Object variable or With block variable not set"));
        QCOMPARE(h.user->messageBoxes().back().style, 16);
        QCOMPARE(h.user->messageBoxes().back().title, kErrorTitle);

        h.attach({});
        answerNameDialog(*h.user, QStringLiteral("State 3"), QString(), false);
        h.control.captureNewBtn->click();
        QCOMPARE(h.setup->captures, 0);

        h.setup->failCapture = true;
        answerNameDialog(*h.user, QStringLiteral("State 3"));
        h.control.captureNewBtn->click();
        QCOMPARE(h.lastMessage(), QStringLiteral("Failed to Capture State from the Instrument\r\n"
                                                 "\r\nError Details: capture refused"));
        QVERIFY(h.rows().isEmpty() && h.names().isEmpty() && !h.stateButtonsEnabled());
        QCOMPARE(h.control.MousePointer(), 0);

        // The first capture on an empty list proposes a free name and enables the buttons.
        h.setup->failCapture = false;
        acceptProposedName(*h.user, QStringLiteral("State 1"));
        h.control.captureNewBtn->click();
        QCOMPARE(h.rows(), QStringList{QStringLiteral("State 1")});
        QVERIFY(h.stateButtonsEnabled());
    }

    void restore_data() {
        QTest::addColumn<int>("marked");         // the row marked as the current setup
        QTest::addColumn<int>("row");            // selected
        QTest::addColumn<QString>("instrument"); // model|version
        QTest::addColumn<bool>("fails");         // the instrument refuses the setup
        QTest::addColumn<QList<int>>("icons");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("style");
        const QList<int> kept{1, 2, 0};
        const QString refused =
            QStringLiteral("The selected state is for the instrument model M100, version 2.3\r\n"
                           "which is not the currently connected instrument. The state was not "
                           "restored.");
        QTest::newRow("same instrument") << 3 << 1 << "M100|2.3" << false << kept << QString() << 0;
        // A grey row restores once the instrument matches, and stays grey.
        QTest::newRow("grey row on its instrument")
            << 1 << 2 << "M200|2.3" << false << QList<int>{0, 1, 0} << QString() << 0;
        QTest::newRow("other version") << 1 << 1 << "M100|2.4" << false << kept << refused << 48;
        QTest::newRow("letter case") << 1 << 1 << "m100|2.3" << false << kept << refused << 48;
        QTest::newRow("trailing blank") << 1 << 1 << "M100|2.3 " << false << kept << refused << 48;
        QTest::newRow("instrument fails")
            << 3 << 1 << "M100|2.3" << true << QList<int>{0, 2, 1}
            << "Failed to reset instrument to saved state\r\nError Details: \r\n\r\nrestore refused"
            << 16;
    }

    void restore() {
        QFETCH(int, marked);
        QFETCH(int, row);
        QFETCH(QString, instrument);
        QFETCH(QString, message);
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSmallIcon(marked, 1);
        h.setup->model = instrument.section(u'|', 0, 0);
        h.setup->version = instrument.section(u'|', 1);
        QFETCH(bool, fails);
        h.setup->failRestore = fails;
        h.view().setSelectedRow(row);
        h.control.restoreBtn->click();
        QCOMPARE(h.setup->restored, message.isEmpty()
                                        ? std::optional<QVariant>(h.stateInfo->item(row)->data())
                                        : std::nullopt);
        QTEST(h.icons(), "icons");
        QCOMPARE(h.view().foreColor(2), QColor(128, 128, 128));
        QCOMPARE(h.control.MousePointer(), 0);
        QCOMPARE(h.lastMessage(), message);
        QTEST(h.user->messageBoxes().empty() ? 0 : h.user->messageBoxes().back().style, "style");
    }

    void editName_data() {
        QTest::addColumn<int>("icon"); // of the edited row
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QStringList>("rows");
        const QStringList moved{"A", "B", "D", "E", "Renamed"}, kept{"A", "B", "C", "D", "E"};
        QTest::newRow("current setup") << 1 << "Renamed" << true << moved;
        QTest::newRow("other instrument") << 2 << "Renamed" << true << moved;
        QTest::newRow("no marker") << 0 << "Renamed" << true << moved;
        QTest::newRow("description only") << 1 << "C" << true << kept;
        QTest::newRow("cancelled") << 2 << "Z" << false << kept;
    }

    void editName() {
        QFETCH(int, icon);
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        QFETCH(QStringList, rows);
        ControlHarness h;
        h.attach({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
        if (icon)
            h.view().setSmallIcon(3, icon);
        if (icon == 2)
            h.view().setForeColor(3, QColor(128, 128, 128));
        h.view().setSelectedRow(3);
        answerNameDialog(*h.user, typed, QStringLiteral("new text"), ok);
        h.control.editNameBtn->click();
        QCOMPARE(h.user->modalTitles(), std::vector<QString>{QStringLiteral("Edit State Name C")});
        QCOMPARE(h.rows(), rows);
        QCOMPARE(h.names(), h.rows());
        QCOMPARE(h.stateInfo->Items()->containsKey(QStringLiteral("C")), rows.contains("C"));
        const int row = static_cast<int>(rows.indexOf(ok ? typed : QStringLiteral("C"))) + 1;
        QCOMPARE(h.view().selectedRow(), row);
        const QString description = ok ? QStringLiteral("new text") : QStringLiteral("C text");
        QCOMPARE(h.view().subItem(row, 1), description);
        QCOMPARE(h.stateInfo->item(row)->Description(), description);
        QCOMPARE(h.view().smallIcon(row), icon);
        QCOMPARE(h.view().foreColor(row).isValid(), icon == 2);
    }

    void editNameDialogRules_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("unchanged") << "A" << true;
        QTest::newRow("letter case of itself") << "a" << false;
        QTest::newRow("another state's name") << "b" << false;
        QTest::newRow("new name") << "C" << true;
        QTest::newRow("empty name") << "" << true;
        QTest::newRow("longer than 32767 characters") << QString(40000, u'n') << true;
    }

    void editNameDialogRules() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        ControlHarness h;
        h.attach({{"A"}, {"B"}});
        frmEditName form;
        const auto state = h.stateInfo->item(1);
        form.Init(state, h.stateInfo->Items());
        form.nameTextBox->setText(typed);
        form.descriptionText->setPlainText(QStringLiteral("typed text"));
        form.okBtn->click();
        QCOMPARE(form.okSelected, accepted);
        QCOMPARE(state->Name(), accepted ? typed : QStringLiteral("A"));
        QCOMPARE(state->Description(),
                 accepted ? QStringLiteral("typed text") : QStringLiteral("A text"));
        QCOMPARE(h.lastMessage(),
                 accepted ? QString() : typed + QStringLiteral(" is already a Captured State."));
        form.cancelBtn->click();
        QVERIFY(!form.okSelected);
    }

    void remove_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("second") << 2 << QStringList{"State 1", "State 4"};
        QTest::newRow("last") << 3 << QStringList{"State 1", "State 2"};
    }

    void remove() {
        QFETCH(int, row);
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSmallIcon(row, 1);
        h.view().setSelectedRow(row);
        h.control.removeBtn->click();
        QTEST(h.rows(), "left");
        QCOMPARE(h.names(), h.rows());
        QCOMPARE(h.view().selectedRow(), 1);
        QVERIFY(!h.icons().contains(1));
        QCOMPARE(h.view().smallIcon(row == 2 ? 1 : 2), row == 2 ? 0 : 2);
    }

    void removeLastStateDisablesButtons() {
        ControlHarness h;
        h.attach({{"Only"}});
        h.control.removeBtn->click(); // nothing is selected
        QCOMPARE(h.rows(), QStringList{"Only"});
        h.view().setSelectedRow(1);
        h.control.removeBtn->click();
        QVERIFY(h.rows().isEmpty() && h.names().isEmpty());
        QVERIFY(!h.stateButtonsEnabled());
        QVERIFY(h.control.captureNewBtn->isEnabled() && h.control.importBtn->isEnabled());
    }

    void exportFailsOrWritesAndImportsBack() {
        QTemporaryDir dir;
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSelectedRow(1);
        h.control.exportBtn->click(); // cancelled
        h.user->answerFileDialog(QStringLiteral("/nonexistent-folder/x.sta"));
        h.control.exportBtn->click();
        QVERIFY(h.lastMessage().startsWith(
            QStringLiteral("Failed to Export state to a file, Error = ")));
        QVERIFY(h.lastMessage().size() > 42);
        QCOMPARE(h.user->messageBoxes().back().style, 16);
        h.user->clearRecords();
        const QString path = dir.filePath(QStringLiteral("saved"));
        h.user->answerFileDialog(path);
        h.control.exportBtn->click();
        const FileDialogRequest &request = h.user->fileDialogs().back();
        QCOMPARE(request.title, QStringLiteral("Export State 1 To"));
        QCOMPARE(request.filter, QStringLiteral("Tessaview State Files (*.sta)|*.sta"));
        QCOMPARE(request.flags, 2050);
        QCOMPARE(request.fileName, QStringLiteral("State 1"));
        QVERIFY(h.user->messageBoxes().empty());
        QVERIFY(QFile::exists(path)); // no extension is added

        // Importing it again clashes with the listed state and asks for a new name.
        QVERIFY(QFile::rename(path, path + QStringLiteral(".sta")));
        h.user->answerFileDialog(path + QStringLiteral(".sta"));
        acceptProposedName(*h.user, QStringLiteral("State 3"));
        h.control.importBtn->click();
        QCOMPARE(h.user->fileDialogs().back().title,
                 QStringLiteral("Import previously stored state file"));
        QCOMPARE(h.user->fileDialogs().back().fileName, path);
        QCOMPARE(h.lastMessage(),
                 QStringLiteral("Imported state State 1 is already in the list.\r\nYou must "
                                "rename it."));
        QCOMPARE(h.rows(), (QStringList{"State 1", "State 2", "State 4", "State 3"}));
        QCOMPARE(h.names(), h.rows());
        QCOMPARE(h.view().subItem(4, 1), QStringLiteral("State 1 text"));
        QCOMPARE(h.view().selectedRow(), 4);
        QCOMPARE(h.icons(), (QList<int>{0, 2, 0, 0}));
    }

    void import_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("legacyVersion");
        QTest::addColumn<bool>("failReader");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("rows");
        const auto add = [](const char *name, const char *file, const char *legacyVersion,
                            bool failReader, const char *message, const QStringList &rows) {
            QTest::newRow(name) << QString::fromLatin1(file) << QString::fromLatin1(legacyVersion)
                                << failReader << QString::fromLatin1(message) << rows;
        };
        const QStringList before{"State 1"};
        add("legacy named .sta gets a free name", "x.sta", "*", false, "", {"State 1", "State 2"});
        add("legacy file keeps its name", "x.txt", "2.3", false, "", {"State 1", "Legacy"});
        add("capital extension keeps the wildcard", "x.STA", "*", false,
            "The imported state is for the M100, version *\r\nCan not import state file.", before);
        add("reader fails", "x.txt", "2.3", true,
            "@x.txt does not appear to be a standard state file.", before);
    }

    void import() {
        QFETCH(QString, file);
        QFETCH(QString, legacyVersion);
        QFETCH(bool, failReader);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QVERIFY(writeFile(path, ":FREQ 1E6\n"));
        ControlHarness h;
        h.attach({{"State 1"}});
        h.setup->legacy[1] = legacyVersion;
        h.setup->failImport = failReader;
        h.user->answerFileDialog(path);
        h.control.importBtn->click();
        message.replace(QStringLiteral("@"), dir.path() + QLatin1Char('/'));
        QCOMPARE(h.lastMessage(), message);
        QTEST(h.rows(), "rows");
        QCOMPARE(h.names(), h.rows());
        if (h.rows().size() == 2)
            QCOMPARE(h.stateInfo->item(2)->Version(), QStringLiteral("2.3"));
    }

    void importClashPassesOverFailures_data() {
        QTest::addColumn<QString>("broken"); // what goes missing or fails once the file is read
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("okCaption");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("rows");
        const QString title = QStringLiteral("Import previously stored state file");
        const QStringList clash{QStringLiteral("Imported state state 1 is already in the list."
                                               "\r\nYou must rename it.")};
        const QStringList added{"State 1", "State 9"};
        // The dialog keeps the texts it was designed with.
        QTest::newRow("agent") << "agent" << title << "State 2"
                               << "OK button caption" << clash << added;
        // No message, no free name and no title, yet the dialog opens with the agent's texts.
        QTest::newRow("catalogue") << "catalogue"
                                   << "Form1"
                                   << "state 1"
                                   << "OK" << QStringList() << added;
        QTest::newRow("modal show") << "show" << title << "State 2"
                                    << "OK" << clash << QStringList{"State 1"};
    }

    void importClashPassesOverFailures() {
        QFETCH(QString, broken);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.txt"));
        QVERIFY(writeFile(path, ":FREQ 1E6\n"));
        ControlHarness h;
        h.attach({{"State 1"}});
        h.setup->legacy = QStringList{"M100", "2.3", "state 1", "clashing"};
        const ResourcesAgentRef agent = gResourcesAgent;
        const IxoResourceRef resources = gResources;
        h.setup->whileImporting = [&] {
            if (broken == QLatin1String("agent"))
                gResourcesAgent.reset();
            if (broken == QLatin1String("catalogue"))
                gResources.reset();
        };
        QString proposed;
        QString okCaption;
        h.user->answerModal([&](QDialog &dialog) {
            auto &form = static_cast<frmEditName &>(dialog);
            proposed = form.nameTextBox->text();
            okCaption = form.okBtn->text();
            if (broken == QLatin1String("show"))
                throw AutomationError(ErrorNumber::Fail, QStringLiteral("Test"),
                                      QStringLiteral("no screen"));
            form.nameTextBox->setText(QStringLiteral("State 9"));
            form.okBtn->click();
            return dialog.result();
        });
        h.user->answerFileDialog(path);
        h.control.importBtn->click();
        gResourcesAgent = agent;
        gResources = resources;
        QCOMPARE(h.user->modalTitles(), std::vector<QString>{title});
        QTEST(proposed, "proposed");
        QTEST(okCaption, "okCaption");
        QStringList messages;
        for (const auto &call : h.user->messageBoxes())
            messages << call.text;
        QTEST(messages, "messages");
        QTEST(h.rows(), "rows");
        QCOMPARE(h.names(), h.rows());
    }

    void importFilterAndFailures() {
        ControlHarness h;
        h.control.importBtn->click();
        QCOMPARE(h.lastMessage(), QStringLiteral("Error Details: Object variable or With block "
                                                 "variable not set"));
        h.attach({});
        h.stateInfo->setLegacyDovetrackFileMask(QStringLiteral("Old setups (*.old)|*.old"));
        h.control.importBtn->click(); // cancelled: nothing more happens
        QCOMPARE(h.user->fileDialogs().back().filter,
                 QStringLiteral("Tessaview State Files (*.sta)|*.sta|Old setups (*.old)|*.old"));
        QCOMPARE(h.user->messageBoxes().size(), std::size_t(1));
        QVERIFY(h.rows().isEmpty() && !h.stateButtonsEnabled());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
