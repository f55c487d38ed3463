#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/QtInteraction.h"
#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using ixo::Interaction;
using ixo::QtInteraction;
using ixo::ScopedInteraction;
using ixo::ScriptedInteraction;
namespace Style = ixo::MessageBoxStyle;
namespace Result = ixo::MessageBoxResult;

namespace {

// Presses a key in the message box as soon as it is shown.
void pressInNextMessageBox(Qt::Key key) {
    QTimer::singleShot(0, [key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box)
            QTest::keyClick(box, key);
    });
}

} // namespace

class TestInteraction : public QObject {
    Q_OBJECT

private slots:
    void nameFilters_data();
    void nameFilters();
    void qtMessageBoxAnswersWithButtonNumber_data();
    void qtMessageBoxAnswersWithButtonNumber();
    void scriptedRecordsAndAnswers();
    void scopedInteractionRestoresThePrevious();
};

void TestInteraction::nameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("description shows its pattern")
        << "Tessaview State Files (*.sta)|*.sta" << QStringList{"Tessaview State Files (*.sta)"};
    QTest::newRow("pattern added") << "Old setups|*.old" << QStringList{"Old setups (*.old)"};
    QTest::newRow("two entries, several patterns")
        << "States (*.sta)|*.sta|Setups|*.old;*.set"
        << QStringList{"States (*.sta)", "Setups (*.old *.set)"};
    QTest::newRow("dangling description ignored")
        << "States|*.sta|Other" << QStringList{"States (*.sta)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestInteraction::nameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtInteraction::nameFilters(filter), expected);
}

void TestInteraction::qtMessageBoxAnswersWithButtonNumber_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("OK only, Enter") << Style::Critical << int(Qt::Key_Return) << Result::Ok;
    QTest::newRow("OK only, Escape") << Style::OkOnly << int(Qt::Key_Escape) << Result::Ok;
    QTest::newRow("yes/no, Enter") << Style::YesNo << int(Qt::Key_Return) << Result::Yes;
    QTest::newRow("yes/no, second is default")
        << (Style::YesNo | Style::DefaultButton2) << int(Qt::Key_Return) << Result::No;
    QTest::newRow("OK/Cancel, Escape") << Style::OkCancel << int(Qt::Key_Escape) << Result::Cancel;
    QTest::newRow("retry/cancel, Enter")
        << (Style::RetryCancel | Style::Exclamation) << int(Qt::Key_Return) << Result::Retry;
}

void TestInteraction::qtMessageBoxAnswersWithButtonNumber() {
    QFETCH(int, style);
    QFETCH(int, key);
    QFETCH(int, result);
    QtInteraction interaction;
    pressInNextMessageBox(static_cast<Qt::Key>(key));
    QCOMPARE(interaction.messageBox(QStringLiteral("text"), style, QStringLiteral("title")),
             result);
}

void TestInteraction::scriptedRecordsAndAnswers() {
    ScriptedInteraction script;
    script.answerMessageBox(Result::No);
    QCOMPARE(script.messageBox(QStringLiteral("first"), Style::YesNo, QStringLiteral("t1")),
             Result::No);
    QCOMPARE(script.messageBox(QStringLiteral("second"), Style::YesNoCancel, QString()),
             Result::Yes);
    QCOMPARE(script.messageBox(QStringLiteral("third"), Style::Critical, QString()), Result::Ok);
    QCOMPARE(script.messageBoxes().size(), std::size_t(3));
    QCOMPARE(script.messageBoxes().front().title, QStringLiteral("t1"));
    QCOMPARE(script.messageBoxes().back().style, Style::Critical);

    script.answerFileDialog(QStringLiteral("/tmp/a.sta"));
    ixo::FileDialogRequest request;
    request.mode = ixo::FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export State 1 To");
    QCOMPARE(script.fileDialog(request), QStringLiteral("/tmp/a.sta"));
    QCOMPARE(script.fileDialog(request), QString());
    QCOMPARE(script.fileDialogs().at(0).title, QStringLiteral("Export State 1 To"));

    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Capture New State"));
    script.answerModal([](QDialog &shown) {
        shown.setObjectName(QStringLiteral("seen"));
        return int(QDialog::Accepted);
    });
    QCOMPARE(script.showModal(dialog), int(QDialog::Accepted));
    QCOMPARE(dialog.objectName(), QStringLiteral("seen"));
    QCOMPARE(script.showModal(dialog), int(QDialog::Rejected));
    QCOMPARE(script.modalTitles().size(), std::size_t(2));
}

void TestInteraction::scopedInteractionRestoresThePrevious() {
    const auto before = Interaction::current();
    QVERIFY(std::dynamic_pointer_cast<QtInteraction>(before));
    const auto script = std::make_shared<ScriptedInteraction>();
    {
        const ScopedInteraction scope(script);
        QCOMPARE(Interaction::current(), std::shared_ptr<Interaction>(script));
    }
    QCOMPARE(Interaction::current(), before);
}

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
