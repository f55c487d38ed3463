#include "ControlHarness.h"
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
        h.answerDialog(QStringLiteral("State 3"), QString());
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

    void captureProposesFreeNameAndEnablesButtons() {
        ControlHarness h;
        h.attach({});
        h.user->answerModal([](QDialog &dialog) {
            auto &form = static_cast<frmEditName &>(dialog);
            if (form.nameTextBox->text() != QLatin1String("State 1"))
                return int(QDialog::Rejected);
            form.okBtn->click();
            return dialog.result();
        });
        h.control.captureNewBtn->click();
        QCOMPARE(h.rows(), QStringList{QStringLiteral("State 1")});
        QVERIFY(h.stateButtonsEnabled());
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

        h.attach(threeStates());
        h.answerDialog(QStringLiteral("State 3"), QString(), false);
        h.control.captureNewBtn->click();
        QCOMPARE(h.setup->captures, 0);

        h.setup->failCapture = true;
        h.answerDialog(QStringLiteral("State 3"), QString());
        h.control.captureNewBtn->click();
        QCOMPARE(h.lastMessage(), QStringLiteral("Failed to Capture State from the Instrument\r\n"
                                                 "\r\nError Details: capture refused"));
        QCOMPARE(h.rows(), h.names());
        QCOMPARE(h.names().size(), 3);
        QCOMPARE(h.control.MousePointer(), 0);
    }

    void restore() {
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSmallIcon(3, 1);
        h.view().setSelectedRow(1);
        h.control.restoreBtn->click();
        QCOMPARE(h.setup->restored, std::optional<QVariant>(QByteArray("State 1")));
        QCOMPARE(h.icons(), (QList<int>{1, 2, 0}));

        // A grey row restores once the instrument matches, and stays grey.
        h.setup->model = QStringLiteral("M200");
        h.view().setSelectedRow(2);
        h.control.restoreBtn->click();
        QCOMPARE(h.icons(), (QList<int>{0, 1, 0}));
        QCOMPARE(h.view().foreColor(2), QColor(128, 128, 128));
        QCOMPARE(h.control.MousePointer(), 0);
        QVERIFY(h.user->messageBoxes().empty());
    }

    void restoreRefusals_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::newRow("other version") << "M100"
                                       << "2.4";
        QTest::newRow("letter case") << "m100"
                                     << "2.3";
        QTest::newRow("trailing blank") << "M100"
                                        << "2.3 ";
    }

    void restoreRefusals() {
        QFETCH(QString, model);
        QFETCH(QString, version);
        ControlHarness h;
        h.attach({{QStringLiteral("Saved")}});
        h.view().setSmallIcon(1, 1);
        h.setup->model = model;
        h.setup->version = version;
        h.view().setSelectedRow(1);
        h.control.restoreBtn->click();
        QVERIFY(!h.setup->restored);
        QCOMPARE(h.icons(), (QList<int>{1}));
        QCOMPARE(h.lastMessage(),
                 QStringLiteral("The selected state is for the instrument model M100, version "
                                "2.3\r\nwhich is not the currently connected instrument. The "
                                "state was not restored."));
        QCOMPARE(h.user->messageBoxes().back().style, 48);
    }

    void restoreFailureKeepsMarker() {
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSmallIcon(3, 1);
        h.setup->failRestore = true;
        h.view().setSelectedRow(1);
        h.control.restoreBtn->click();
        QCOMPARE(h.lastMessage(), QStringLiteral("Failed to reset instrument to saved state\r\n"
                                                 "Error Details: \r\n\r\nrestore refused"));
        QCOMPARE(h.user->messageBoxes().back().style, 16);
        QCOMPARE(h.icons(), (QList<int>{0, 2, 1}));
        QCOMPARE(h.control.MousePointer(), 0);
    }

    void editName_data() {
        QTest::addColumn<int>("icon");
        QTest::newRow("current setup") << 1;
        QTest::newRow("other instrument") << 2;
        QTest::newRow("no marker") << 0;
    }

    void editName() {
        QFETCH(int, icon);
        ControlHarness h;
        h.attach({{"A"}, {"B"}, {"C"}, {"D"}, {"E"}});
        if (icon)
            h.view().setSmallIcon(3, icon);
        if (icon == 2)
            h.view().setForeColor(3, QColor(128, 128, 128));
        h.view().setSelectedRow(3);
        h.answerDialog(QStringLiteral("Renamed"), QStringLiteral("new text"));
        h.control.editNameBtn->click();
        QCOMPARE(h.user->modalTitles(), std::vector<QString>{QStringLiteral("Edit State Name C")});
        QCOMPARE(h.rows(), (QStringList{"A", "B", "D", "E", "Renamed"}));
        QCOMPARE(h.names(), h.rows());
        QVERIFY(!h.stateInfo->Items()->containsKey(QStringLiteral("C")));
        QCOMPARE(h.view().selectedRow(), 5);
        QCOMPARE(h.view().subItem(5, 1), QStringLiteral("new text"));
        QCOMPARE(h.view().smallIcon(5), icon);
        QCOMPARE(h.view().foreColor(5).isValid(), icon == 2);
    }

    void editDescriptionOnlyAndCancel() {
        ControlHarness h;
        h.attach({{"A"}, {"B"}});
        h.view().setSelectedRow(1);
        h.answerDialog(QStringLiteral("A"), QStringLiteral("changed"));
        h.control.editNameBtn->click();
        QCOMPARE(h.rows(), (QStringList{"A", "B"}));
        QCOMPARE(h.view().subItem(1, 1), QStringLiteral("changed"));
        QCOMPARE(h.stateInfo->item(1)->Description(), QStringLiteral("changed"));

        h.answerDialog(QStringLiteral("Z"), QStringLiteral("other"), false);
        h.control.editNameBtn->click();
        QCOMPARE(h.rows(), (QStringList{"A", "B"}));
        QCOMPARE(h.stateInfo->item(1)->Description(), QStringLiteral("changed"));
    }

    void editNameDialogRules_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("unchanged") << "A" << true;
        QTest::newRow("letter case of itself") << "a" << false;
        QTest::newRow("another state's name") << "b" << false;
        QTest::newRow("new name") << "C" << true;
        QTest::newRow("empty name") << "" << true;
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

    void exportAndImportBack() {
        QTemporaryDir dir;
        ControlHarness h;
        h.attach(threeStates());
        h.view().setSelectedRow(1);
        h.control.exportBtn->click(); // cancelled
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
        h.user->answerModal([](QDialog &dialog) {
            auto &form = static_cast<frmEditName &>(dialog);
            return form.nameTextBox->text() == QLatin1String("State 3") ? (form.okBtn->click(), 1)
                                                                        : 0;
        });
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

    void exportFailure() {
        ControlHarness h;
        h.attach({{"A"}});
        h.view().setSelectedRow(1);
        h.user->answerFileDialog(QStringLiteral("/nonexistent-folder/x.sta"));
        h.control.exportBtn->click();
        QVERIFY(h.lastMessage().startsWith(
            QStringLiteral("Failed to Export state to a file, Error = ")));
        QVERIFY(h.lastMessage().size() > 42);
        QCOMPARE(h.user->messageBoxes().back().style, 16);
    }

    void import_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("legacyVersion");
        QTest::addColumn<bool>("failReader");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("rows");
        const QStringList before{"State 1"};
        const QStringList added{"State 1", "State 2"};
        QTest::newRow("legacy named .sta gets a free name") << "x.sta"
                                                            << "*" << false << "" << added;
        QTest::newRow("legacy file keeps its name")
            << "x.txt"
            << "2.3" << false << "" << QStringList{"State 1", "Legacy"};
        QTest::newRow("capital extension keeps the wildcard")
            << "x.STA"
            << "*" << false
            << "The imported state is for the M100, version *\r\nCan not import state file."
            << before;
        QTest::newRow("reader fails")
            << "x.txt"
            << "2.3" << true << "@x.txt does not appear to be a standard state file." << before;
    }

    void import() {
        QFETCH(QString, file);
        QFETCH(QString, legacyVersion);
        QFETCH(bool, failReader);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write(":FREQ 1E6\n") > 0);
        text.close();
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

    void importClashWithoutDialog() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.txt"));
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write(":FREQ 1E6\n") > 0);
        text.close();
        ControlHarness h;
        h.attach({{"State 1"}});
        h.setup->legacy = QStringList{"M100", "2.3", "state 1", "clashing"};
        h.user->answerFileDialog(path);
        // No agent to give the dialog its texts: the dialog cannot be made.
        const ResourcesAgentRef agent = gResourcesAgent;
        gResourcesAgent.reset();
        h.control.importBtn->click();
        gResourcesAgent = agent;
        QVERIFY(h.user->modalTitles().empty());
        QCOMPARE(h.user->messageBoxes().size(), std::size_t(2));
        QCOMPARE(h.user->messageBoxes().front().text,
                 QStringLiteral("Imported state state 1 is already in the list.\r\nYou must "
                                "rename it."));
        QCOMPARE(h.lastMessage(), QStringLiteral("Error Details: Object variable or With block "
                                                 "variable not set"));
        QCOMPARE(h.user->messageBoxes().back().style, 16);
        QCOMPARE(h.rows(), QStringList{QStringLiteral("State 1")});
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
