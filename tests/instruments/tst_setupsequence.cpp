#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/InstrumentProfile.h"
#include "instruments/VisaStatus.h"
#include "instruments/sequences/RestoreVerification.h"
#include "instruments/simulator/SimulatedInstrument.h"

#include <QTest>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

// The simulated generator driven by a profile written here rather than its own.
std::unique_ptr<SimulatedInstrument> instrumentWith(const QByteArray &json) {
    auto instrument = std::make_unique<SimulatedInstrument>();
    instrument->applyProfile(InstrumentProfile::fromJson(json, QStringLiteral("test.json")));
    return instrument;
}

const QByteArray kSettings = R"("settings": [
    {"query": ":FREQ?", "command": ":FREQ {}"},
    {"name": "POW", "query": ":POW?", "command": ":POW {}"},
    {"query": ":OUTP?", "command": ":OUTP {}", "output": true}])";

} // namespace

class TestSetupSequence : public QObject {
    Q_OBJECT

private slots:
    // Each form reads the setup and puts it back; the setup's type follows its last query.
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("type");
        QTest::newRow("block by steps") << QByteArray(R"({"name": "t", "capture": [{"send": "*CLS"},
                   {"queryText": "*IDN?"}, {"queryBlock": ":SYST:SET?"}],
                   "restore": [{"sendSetup": ":SYST:SET ${setup}"}, {"wait": "*OPC?"}]})")
                                        << int(VariantType::ByteArray);
        QTest::newRow("text by steps, *ESR? polling, one message")
            << QByteArray(R"({"name": "t", "capture": [{"queryText": "*LRN?"}],
                   "restore": [{"sendSetup": "${setup}"}, {"wait": "*ESR?", "delayMs": 5}],
                   "compoundMessages": true})")
            << int(VariantType::String);
        QTest::newRow("settings one by one")
            << "{\"name\": \"t\", " + kSettings + "}" << int(VariantType::String);
    }

    void roundTrip() {
        QFETCH(QByteArray, json);
        const auto instrument = instrumentWith(json);
        instrument->apply(":FREQ 2E6;:POW -5;:OUTP ON");
        const auto before = instrument->settings();
        const QVariant setup = instrument->CaptureState();
        QTEST(int(variantTypeOf(setup)), "type");
        instrument->apply(":FREQ 3E6;:POW 0;:OUTP OFF");
        instrument->RestoreState(setup);
        QCOMPARE(instrument->settings(), before);
        QVERIFY2(instrument->warnings().isEmpty(), qPrintable(instrument->warnings().join('\n')));
    }

    // A failed step ends the capture with the step and the instrument's error named, and the
    // cleanup runs all the same, also after a timeout closed the connection.
    void failedStepRunsCleanup_data() {
        QTest::addColumn<QByteArray>("firstStep");
        QTest::addColumn<bool>("stall");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused command")
            << QByteArray(R"({"send": ":BOGUS 1"}, {"readErrors": true})") << false
            << int(ErrorNumber::Fail)
            << R"(-113,"Undefined header; :BOGUS" after "send :BOGUS 1" (step 2 of 3 of the capture: read errors))";
        QTest::newRow("no answer")
            << QByteArray(R"({"send": "*CLS"}, {"queryText": "*LRN?"})") << true
            << int(VisaStatus::Timeout)
            << "did not answer *LRN? within 300 ms (step 2 of 3 of the capture";
    }

    void failedStepRunsCleanup() {
        QFETCH(QByteArray, firstStep);
        QFETCH(bool, stall);
        QFETCH(QString, text);
        const auto instrument =
            instrumentWith(R"({"name": "t", "timeoutMs": 300, "capture": [)" + firstStep +
                           R"(, {"queryText": "*LRN?"}], "restore": [{"sendSetup": "${setup}"}],
               "cleanup": [{"send": ":LFO:FREQ 5000"}]})");
        instrument->Model();
        if (stall)
            instrument->device().stallNextCapture();
        try {
            instrument->CaptureState();
            QFAIL("the capture did not fail");
        } catch (const AutomationError &error) {
            QVERIFY2(error.description().contains(text), qPrintable(error.description()));
            QTEST(int(error.number()), "number");
        }
        QCOMPARE(instrument->setting(":LFO:FREQ"), "5.000E+03");
    }

    // A supply's output is never switched on by a restore that is told not to; the check
    // after the restore names a setting that did not take, but not the output left alone.
    void settingsRestoreIsSafeAndChecked() {
        const auto instrument = instrumentWith(R"({"name": "t", "switchOutputsOn": false,
            "verifyRestore": true, "settings": [
            {"query": ":FREQ?", "command": ":FREQ {}"},
            {"name": "DEPTH", "query": ":AM:DEPT?", "command": ":FM:DEV {}"},
            {"query": ":OUTP?", "command": ":OUTP {}", "output": true}]})");
        instrument->apply(":FREQ 2E6;:OUTP ON");
        const QVariant setup = instrument->CaptureState();
        QVERIFY(setup.toString().contains("DEPTH 30.0"));
        instrument->apply(":OUTP OFF;:AM:DEPT 50");
        instrument->RestoreState(setup);
        QCOMPARE(instrument->setting(":OUTP"), "OFF");
        const QString warnings = instrument->warnings().join('\n');
        QVERIFY2(
            warnings.contains("OUTP is left as it is: this profile never switches an output on"),
            qPrintable(warnings));
        QVERIFY2(warnings.contains("settings that did not take: "), qPrintable(warnings));
        QVERIFY2(warnings.contains("DEPTH (30.0 restored, 50.0 read back)"),
                 qPrintable(warnings));
        QVERIFY2(!warnings.contains("OUTP ("), qPrintable(warnings));
    }

    void registersOnlyIsRefused() {
        const auto instrument = instrumentWith(R"({"name": "regs", "registersOnly": true})");
        for (const auto &action : std::initializer_list<std::function<void()>>{
                 [&] { instrument->CaptureState(); },
                 [&] { instrument->RestoreState(QStringLiteral(":FREQ 1E6")); }}) {
            QCOMPARE(errorOf(action), ErrorNumber::InvalidProcedureCall);
            const QString text = errorTextOf(action);
            QVERIFY2(text.contains("only in *SAV/*RCL registers") && text.contains("\"settings\""),
                     qPrintable(text));
        }
    }

    void verification_data() {
        QTest::addColumn<QVariant>("restored");
        QTest::addColumn<QVariant>("readBack");
        QTest::addColumn<QString>("expected");
        QTest::newRow("numbers in another form")
            << QVariant("VOLT1 5;OUTP1 OFF") << QVariant("VOLT1 +5.00000000E+00;OUTP1 off") << "";
        QTest::newRow("a setting that did not take")
            << QVariant("VOLT1 5;CURR1 0.1") << QVariant("VOLT1 0;CURR1 0.1")
            << "VOLT1 (5 restored, 0 read back)";
        QTest::newRow("a setting not read back")
            << QVariant(":FREQ 1E6\n:POW 0") << QVariant(":FREQ 1E6")
            << ":POW (0 restored, not read back)";
        QTest::newRow("left alone") << QVariant("OUTP1 ON") << QVariant("OUTP1 OFF") << "";
        QTest::newRow("blocks") << QVariant(QByteArray("abc")) << QVariant(QByteArray("abd"))
                                << "the setup read back (3 bytes, CRC-32 ";
    }

    void verification() {
        QFETCH(QVariant, restored);
        QFETCH(QVariant, readBack);
        QFETCH(QString, expected);
        const QString differences =
            RestoreVerification::differences(restored, readBack, {QStringLiteral("OUTP1")})
                .join('\n');
        if (expected.isEmpty())
            QCOMPARE(differences, QString());
        else
            QVERIFY2(differences.contains(expected), qPrintable(differences));
    }
};

QTEST_GUILESS_MAIN(TestSetupSequence)
#include "tst_setupsequence.moc"
