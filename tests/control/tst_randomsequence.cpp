#include "AutomationAssert.h"
#include "ControlHarness.h"
#include "TestFiles.h"
#include "automation/PropertyBag.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace ixo;
using namespace ixo::test;

namespace {

// "--seed N" and "--steps N" (or IXO_RANDOM_SEED and IXO_RANDOM_STEPS) reproduce or lengthen a
// run; the options are taken off the command line before QTest sees it.
QString seedOption;
QString stepsOption;

quint32 seed() {
    bool ok = false;
    const QString text =
        seedOption.isEmpty() ? qEnvironmentVariable("IXO_RANDOM_SEED") : seedOption;
    const quint32 value = text.toUInt(&ok);
    return ok ? value : 20261206u;
}

int steps() {
    bool ok = false;
    const QString text =
        stepsOption.isEmpty() ? qEnvironmentVariable("IXO_RANDOM_STEPS") : stepsOption;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 10000;
}

QStringList takeOptions(const QStringList &arguments) {
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--seed") && hasValue)
            seedOption = arguments.at(++i);
        else if (argument == QLatin1String("--steps") && hasValue)
            stepsOption = arguments.at(++i);
        else
            rest << argument;
    }
    return rest;
}

class RandomUser {
public:
    RandomUser(ControlHarness &h, QRandomGenerator &random, const QString &folder)
        : h(h)
        , random(random)
        , folder(folder) {}

    QString step() {
        h.setup->failCapture = chance(10);
        h.setup->failRestore = chance(10);
        h.setup->failImport = chance(10);
        if (h.view().rowCount() > 0 && chance(70))
            h.view().setSelectedRow(1 + pick(h.view().rowCount()));
        switch (pick(9)) {
        case 0:
            answerDialog();
            h.control.captureNewBtn->click();
            return QStringLiteral("capture");
        case 1:
            h.control.restoreBtn->click();
            return QStringLiteral("restore");
        case 2:
            answerDialog();
            h.control.editNameBtn->click();
            return QStringLiteral("edit name");
        case 3:
            if (h.view().rowCount() > 8 || chance(30))
                h.control.removeBtn->click();
            return QStringLiteral("remove");
        case 4:
            h.user->answerFileDialog(chance(15) ? QStringLiteral("/no/such/folder/x.sta")
                                                : fileName());
            h.control.exportBtn->click();
            return QStringLiteral("export");
        case 5:
            h.user->answerFileDialog(fileName());
            answerDialog();
            h.control.importBtn->click();
            return QStringLiteral("import");
        case 6:
            h.setup->model = chance(50) ? QStringLiteral("M100") : QStringLiteral("M200");
            h.control.setInstrumentStateInfo(h.stateInfo);
            return QStringLiteral("attach");
        case 7:
            return attachWithoutInstrument();
        default:
            spoilAFile();
            return QStringLiteral("spoil a file");
        }
    }

    // The attach fails at its first state and keeps no row; the next attach with the
    // instrument brings every row back.
    QString attachWithoutInstrument() {
        h.stateInfo->setSetupInterface(SetupInterfaceRef());
        const bool failed = errorOf([&] { h.control.setInstrumentStateInfo(h.stateInfo); }) != 0;
        const bool noRows = h.view().rowCount() == 0 && !h.stateButtonsEnabled();
        h.stateInfo->setSetupInterface(h.setup);
        h.control.setInstrumentStateInfo(h.stateInfo);
        const bool empty = h.stateInfo->Items()->Count() == 0;
        return failed == !empty && noRows ? QStringLiteral("attach without instrument")
                                          : QStringLiteral("attach without instrument kept rows");
    }

private:
    bool chance(int percent) { return pick(100) < percent; }
    int pick(int count) { return static_cast<int>(random.bounded(count)); }

    QString fileName() { return QStringLiteral("%1/%2.sta").arg(folder).arg(pick(4)); }

    // Overwrites a state file with garbage or with a legacy setup.
    void spoilAFile() {
        const QString name = fileName(); // drawn first, as the seeds of earlier runs expect
        writeFile(name, chance(50) ? QByteArray("\x01\x02garbage") : QByteArray(":FREQ 1E6\n"));
    }

    // OK with a free, taken, case-changed or empty name, or Cancel; a refused name is cancelled.
    void answerDialog() {
        const QStringList names = h.names();
        QString name = QStringLiteral("Name %1").arg(pick(20));
        if (!names.isEmpty() && chance(30))
            name = names.at(pick(static_cast<int>(names.size())));
        if (chance(20))
            name = name.toUpper();
        if (chance(5))
            name.clear();
        const bool ok = chance(80);
        const QString description = QStringLiteral("d%1").arg(pick(1000));
        h.user->answerModal([=](QDialog &dialog) {
            auto &form = static_cast<frmEditName &>(dialog);
            form.nameTextBox->setText(name);
            form.descriptionText->setPlainText(description);
            (ok ? form.okBtn : form.cancelBtn)->click();
            if (!form.okSelected)
                form.cancelBtn->click();
            return dialog.result();
        });
    }

    ControlHarness &h;
    QRandomGenerator &random;
    QString folder;
};

QString describe(const ItemStateInfo &state) {
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(state.Name(), state.Description(), state.Model(), state.Version(),
             QString::fromLatin1(state.data().toByteArray().toHex()));
}

QStringList contentsOf(const StateInfo &list) {
    QStringList result;
    for (int i = 1; i <= list.Items()->Count(); ++i)
        result << describe(*list.item(i));
    return result;
}

} // namespace

class TestRandomSequence : public QObject {
    Q_OBJECT

private slots:
    void rowsAndItemsStayInStep() {
        QTemporaryDir folder;
        QRandomGenerator random(seed());
        ControlHarness h;
        h.attach({});
        RandomUser user(h, random, folder.path());
        const int count = steps();
        for (int step = 1; step <= count; ++step) {
            const QString action = user.step();
            h.user->clearRecords();
            const QString where =
                QStringLiteral("step %1 (%2), seed %3").arg(step).arg(action).arg(seed());
            QVERIFY2(!action.endsWith(QLatin1String("kept rows")), qPrintable(where));
            QVERIFY2(h.rows() == h.names(), qPrintable(where));
            QVERIFY2(h.icons().count(1) <= 1, qPrintable(where));
            const bool hasRows = h.view().rowCount() > 0;
            QVERIFY2(h.stateButtonsEnabled() == hasRows, qPrintable(where));
            QVERIFY2(hasRows || !h.control.restoreBtn->isEnabled(), qPrintable(where));
            QVERIFY2(h.control.MousePointer() == 0, qPrintable(where));

            PropertyBag bag;
            h.stateInfo->WriteProperties(bag);
            StateInfo loaded;
            loaded.ReadProperties(bag);
            QVERIFY2(contentsOf(loaded) == contentsOf(*h.stateInfo), qPrintable(where));
        }
    }
};

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    TestRandomSequence test;
    return QTest::qExec(&test, takeOptions(app.arguments()));
}
#include "tst_randomsequence.moc"
