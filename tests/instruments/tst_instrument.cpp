#include "AutomationAssert.h"
#include "ClientChecks.h"
#include "automation/ErrorNumber.h"
#include "instruments/Ieee488Block.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfile.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ScpiSettings.h"
#include "instruments/VisaStatus.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatedInstrument.h"

#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <thread>
#include <vector>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

class TestInstrument : public QObject {
    Q_OBJECT

private slots:
    // What the client makes of the instrument's faults; tst_transportcontract has those of the
    // connection on every transport.
    void faults_data() {
        using Setup = std::function<void(SimulatedDevice &)>;
        QTest::addColumn<bool>("blocks");
        QTest::addColumn<Setup>("fault");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("restore refused")
            << false
            << Setup([](SimulatedDevice &d) { d.failNextRestore("-221,\"Settings conflict\""); })
            << "restore" << ErrorNumber::Fail << "-221,\"Settings conflict\"";
        QTest::newRow("capture refused")
            << true << Setup([](SimulatedDevice &d) { d.failNextCapture(); }) << "capture"
            << ErrorNumber::Fail << "during the capture: -200,\"Execution error";
        QTest::newRow("bad setting in the setup")
            << false << Setup([](SimulatedDevice &) {}) << "restore :FREQ 99E9" << ErrorNumber::Fail
            << "-222,\"Data out of range; :FREQ 99E9\"";
        QTest::newRow("restore timeout")
            << false << Setup([](SimulatedDevice &d) { d.delayNextRestore(3000); }) << "restore"
            << VisaStatus::Timeout << "did not answer *OPC? within 200 ms";
        QTest::newRow("garbage identity")
            << false << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("hello\n"); }) << "model"
            << VisaStatus::Io << "did not identify itself: *IDN? answered \"hello\"";
        // Control characters of an answer are quoted in the message.
        QTest::newRow("garbage for a block")
            << true << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("\x01zz\n"); })
            << "capture" << VisaStatus::Io << "with \"\\x01zz\\x0a\", not a block";
        QTest::newRow("block header over the limit")
            << true << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("#9999999999\n"); })
            << "capture" << VisaStatus::Io
            << "announced a block of 999999999 bytes for :SYST:SET?, more than the limit";
        QTest::newRow("block shorter than its header")
            << true << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("#15abc\n"); })
            << "capture" << VisaStatus::Timeout << "did not answer :SYST:SET? within 200 ms";
    }

    // Each fault gives its error instead of a hang, and the next call works again.
    void faults() {
        QFETCH(bool, blocks);
        QFETCH(std::function<void(SimulatedDevice &)>, fault);
        QFETCH(QString, operation);
        SimulatedInstrument client;
        if (blocks)
            client.setSetupQuery(SimulatedDevice::kSetupQuery);
        client.setTimeout(200);
        QVariant state;
        if (operation != QLatin1String("model"))
            state = operation.startsWith(QLatin1String("restore ")) ? QVariant(operation.mid(8))
                                                                    : client.CaptureState();
        fault(client.device());
        const test::Failure failure =
            test::failureOf([&] { test::perform(client, operation.section(u' ', 0, 0), state); });
        QTEST(failure.number, "number");
        QFETCH(QString, text);
        QVERIFY2(failure.text.contains(text), qPrintable(failure.text));
        QCOMPARE(client.Model(), QStringLiteral("SG-100"));
        QVERIFY(!client.CaptureState().toByteArray().isEmpty());
    }

    void priorErrors_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("eventStatus");
        const QStringList two{"-113,\"Undefined header\"", "-222,\"Data out of range\""};
        const QString both = "-113,\"Undefined header\"; -222,\"Data out of range\"";
        for (const char *operation : {"capture", "restore"}) {
            const QString before =
                QStringLiteral("errors already queued before the %1: ").arg(operation);
            QTest::addRow("%s: two kept", operation)
                << operation << true << two << false << before + both << 0x30;
            QTest::addRow("%s: kept, and it fails too", operation)
                << operation << true << two.mid(1) << true << before + two.at(1) << 0x10;
            QTest::addRow("%s: none queued", operation)
                << operation << true << QStringList{} << false << "" << 0;
            QTest::addRow("%s: cleared", operation)
                << operation << false << two << false << "" << 0;
        }
    }

    // Errors from before an operation are reported once as a warning and neither blamed on it
    // nor lost; the status registers are left alone unless the profile clears them.
    void priorErrors() {
        QFETCH(QString, operation);
        QFETCH(bool, keep);
        QFETCH(QStringList, queued);
        QFETCH(bool, fails);
        QFETCH(QString, warning);
        SimulatedInstrument client;
        InstrumentProfile profile;
        profile.keepPriorErrors = keep;
        client.applyProfile(profile);
        QStringList handled;
        client.setWarningHandler([&](const QString &text) { handled.append(text); });
        const QVariant state = client.CaptureState();
        for (const QString &error : queued)
            client.device().queueError(error);
        const bool capture = operation == QLatin1String("capture");
        if (fails && capture)
            client.device().failNextCapture();
        else if (fails)
            client.device().failNextRestore();
        const QString error = errorTextOf(
            [&] { capture ? void(client.CaptureState()) : client.RestoreState(state); });
        if (fails) {
            QVERIFY2(error.contains("during the " + operation + ": -2"), qPrintable(error));
            for (const QString &old : queued)
                QVERIFY2(!error.contains(old), qPrintable(error));
        } else {
            QVERIFY2(error.isEmpty(), qPrintable(error));
        }
        const QStringList expected =
            warning.isEmpty() ? QStringList{} : QStringList{client.resourceName() + ": " + warning};
        QCOMPARE(client.warnings(), expected);
        QCOMPARE(handled, expected);
        QTEST(client.device().eventStatus(), "eventStatus");
        QCOMPARE(client.readErrors(), QStringList{});
    }

    void completion_data() {
        using Completion = InstrumentProfile::Completion;
        QTest::addColumn<int>("completion");
        QTest::addColumn<bool>("compound");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("settleMs");
        QTest::addColumn<int>("operationMs");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<bool>("staleBit");
        QTest::addColumn<bool>("pendingAfter");
        QTest::addColumn<QString>("error");
        const std::pair<Completion, const char *> waits[] = {{Completion::OpcQuery, "*OPC?"},
                                                             {Completion::Wait, "*WAI"},
                                                             {Completion::EsrPolling, "*ESR?"}};
        for (const auto &[completion, name] : waits) {
            for (const bool compound : {true, false})
                QTest::addRow("%s, %s", name, compound ? "compound" : "separate")
                    << int(completion) << compound << 0 << 0 << 200 << 2000 << false << false << "";
        }
        QTest::addRow("*ESR? with the bit of an earlier *OPC")
            << int(Completion::EsrPolling) << false << 0 << 0 << 200 << 2000 << true << false << "";
        QTest::addRow("delay longer than the operation")
            << int(Completion::Delay) << false << 400 << 0 << 200 << 2000 << false << false << "";
        // A fixed delay trusts the profile: it cannot know the instrument is still busy.
        QTest::addRow("delay shorter than the operation")
            << int(Completion::Delay) << false << 10 << 0 << 5000 << 2000 << false << true << "";
        QTest::addRow("settle time")
            << int(Completion::OpcQuery) << true << 0 << 300 << 0 << 2000 << false << false << "";
        QTest::addRow("*OPC? too late")
            << int(Completion::OpcQuery) << true << 0 << 0 << 3000 << 300 << false << true
            << "did not answer *OPC? within 300 ms";
        QTest::addRow("*WAI too late")
            << int(Completion::Wait) << false << 0 << 0 << 3000 << 300 << false << true
            << "did not answer :SYST:ERR? within 300 ms";
        QTest::addRow("*ESR? too late")
            << int(Completion::EsrPolling) << true << 0 << 0 << 3000 << 300 << false << true
            << "did not complete the restore within 300 ms (*ESR? polling)";
    }

    // Each way of awaiting a restore returns only once the instrument has taken the setup, and
    // a restore that takes too long is a timeout, not a hang.
    void completion() {
        QFETCH(int, completion);
        QFETCH(int, delayMs);
        QFETCH(int, settleMs);
        QFETCH(int, operationMs);
        QFETCH(QString, error);
        SimulatedInstrument client;
        InstrumentProfile profile;
        profile.completion = InstrumentProfile::Completion(completion);
        QFETCH(bool, compound);
        profile.compoundMessages = compound;
        profile.completionDelayMs = delayMs;
        profile.pollIntervalMs = 10;
        profile.settleMs = settleMs;
        QFETCH(int, timeoutMs);
        profile.timeoutMs = timeoutMs;
        client.applyProfile(profile);
        client.device().apply(":FREQ 3E9");
        const QVariant state = client.CaptureState();
        client.device().apply(":FREQ 1E6");
        QFETCH(bool, staleBit);
        if (staleBit)
            client.send("*OPC");
        client.device().delayNextRestore(operationMs);
        QElapsedTimer elapsed;
        elapsed.start();
        const QString text = errorTextOf([&] { client.RestoreState(state); });
        QVERIFY2(error.isEmpty() ? text.isEmpty() : text.contains(error), qPrintable(text));
        QTEST(client.device().operationPending(), "pendingAfter");
        QVERIFY(elapsed.elapsed() >= settleMs + delayMs);
        QCOMPARE(client.device().setting(":FREQ"), QStringLiteral("3.000000E+09"));
        QVERIFY(client.warnings().isEmpty());
    }

    // A setup block damaged in its settings or in its waveform is refused and changes nothing.
    void damagedBlocks_data() {
        QTest::addColumn<int>("offsetFromEnd");
        QTest::addColumn<QString>("text");
        QTest::newRow("settings checksum") << 2 << "-161,\"Invalid block data; checksum mismatch";
        QTest::newRow("waveform byte") << 10 << "waveform checksum mismatch";
    }

    void damagedBlocks() {
        QFETCH(int, offsetFromEnd);
        SimulatedInstrument instrument;
        instrument.setSetupQuery(SimulatedDevice::kSetupQuery);
        instrument.setRestoreCommand(SimulatedDevice::kSetupCommand);
        instrument.apply(":FREQ 2E9\n:ARB:DATA #216abcdefghijklmnop");
        QByteArray block = instrument.CaptureState().toByteArray();
        block[block.size() - offsetFromEnd] =
            static_cast<char>(block[block.size() - offsetFromEnd] ^ 1);
        instrument.apply(":FREQ 1E6\n:ARB:DATA #13xyz");
        const QString error = errorTextOf([&] { instrument.RestoreState(block); });
        QFETCH(QString, text);
        QVERIFY2(error.contains(text), qPrintable(error));
        QCOMPARE(instrument.setting(":FREQ"), QStringLiteral("1.000000E+06"));
        QCOMPARE(instrument.device().waveform(), QByteArray("xyz"));
    }

    // Block data ending in a byte that looks like a terminator or blank is data all the same.
    void blocksEndingInBlanks_data() {
        QTest::addColumn<QByteArray>("waveform");
        QTest::addColumn<QByteArray>("terminator");
        QTest::newRow("newline, terminated") << QByteArray("ab\n") << QByteArray("\n");
        QTest::newRow("newline, unterminated") << QByteArray("ab\n") << QByteArray();
        QTest::newRow("space and tab") << QByteArray("ab \t") << QByteArray("\n");
        QTest::newRow("carriage return") << QByteArray("\r\r") << QByteArray("\r\n");
    }

    void blocksEndingInBlanks() {
        QFETCH(QByteArray, waveform);
        QFETCH(QByteArray, terminator);
        SimulatedDevice device;
        device.apply(":ARB:DATA " + Ieee488Block::encode(waveform) + terminator);
        QCOMPARE(device.waveform(), waveform);
        QCOMPARE(device.process(":ARB:DATA #0" + waveform + "\n").bytes, QByteArray());
        QCOMPARE(device.waveform(), waveform);
        QCOMPARE(device.process(":ARB:DATA?\n").bytes, Ieee488Block::encode(waveform) + '\n');
    }

    void learnStrings_data() {
        QTest::addColumn<QString>("learnString");
        QTest::addColumn<QStringList>("settings"); // header, value, header, value...
        QTest::newRow("common commands left out")
            << "*RST;:FREQ 1E9;:OUTP ON;*CLS" << QStringList{":FREQ", "1E9", ":OUTP", "ON"};
        QTest::newRow("quoted ; stays in its value")
            << ":SYST:NAME \"a;b\";:POW -10" << QStringList{":POW", "-10", ":SYST:NAME", "\"a;b\""};
        QTest::newRow("spaces, empty commands, no value")
            << " :FREQ  2E6 ;;:ABOR;:POW  -3 " << QStringList{":FREQ", "2E6", ":POW", "-3"};
        QTest::newRow("unterminated quote keeps the rest")
            << ":FREQ 1;:NAME 'x;:POW 2" << QStringList{":FREQ", "1", ":NAME", "'x;:POW 2"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void learnStrings() {
        QFETCH(QString, learnString);
        QStringList flat;
        const QMap<QString, QString> settings = ScpiSettings::parse(learnString);
        for (auto it = settings.cbegin(); it != settings.cend(); ++it)
            flat << it.key() << it.value();
        QTEST(flat, "settings");
    }

    // The settings panel's edits reach the instrument, and its refusals come back as errors.
    void settings() {
        const auto instrument =
            std::dynamic_pointer_cast<SimulatedInstrument>(InstrumentFactory::open(" sim "));
        QVERIFY(instrument);
        const ScpiSettings settings(instrument);
        QCOMPARE(settings.read().value(":FREQ"), QStringLiteral("1.000000E+09"));
        settings.write(":FREQ", " 2.5E9 ");
        QCOMPARE(instrument->setting(":FREQ"), QStringLiteral("2.500000E+09"));
        QCOMPARE(settings.read().value(":FREQ"), QStringLiteral("2.500000E+09"));
        QVERIFY(errorTextOf([&] { settings.write(":FREQ", "1E99"); }).contains(":FREQ 1E99"));
        QCOMPARE(errorOf([&] { settings.write(":FREQ", "1;*RST"); }),
                 ErrorNumber::InvalidProcedureCall);
        QCOMPARE(instrument->setting(":FREQ"), QStringLiteral("2.500000E+09"));
    }

    // "SIM::<family>" reaches the simulated instrument of that family in this process; the
    // family's name is read in any letter case. An empty model is a resource refused.
    void simulatedFamilies_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("model");
        QTest::newRow("default") << " sim "
                                 << "SG-100";
        QTest::newRow("ixo") << "SIM::ixo"
                             << "SG-100";
        QTest::newRow("scope") << "SIM::tektronix-mso"
                               << "MSO54";
        QTest::newRow("letter case") << " sim::Keysight-E36300 "
                                     << "E36312A";
        QTest::newRow("unknown family") << "SIM::tektronix" << QString();
        QTest::newRow("no family") << "SIM::" << QString();
    }

    void simulatedFamilies() {
        QFETCH(QString, resource);
        QFETCH(QString, model);
        const std::function<void()> check = [&] { InstrumentFactory::checkResource(resource); };
        const std::function<void()> opening = [&] { InstrumentFactory::open(resource); };
        if (!model.isEmpty()) {
            QCOMPARE(errorOf(check), 0);
            QCOMPARE(InstrumentFactory::open(resource)->Model(), model);
            return;
        }
        for (const auto &refused : {check, opening}) {
            QCOMPARE(errorOf(refused), VisaStatus::InvalidResourceName);
            const QString text = errorTextOf(refused);
            QVERIFY2(text.contains(SimulatedDevice::familyNames().join(", ")), qPrintable(text));
        }
    }

    // Opened again, on any thread and however the family is spelt, a family's instrument is
    // the one device as it was left; threads opening it at once get that device too.
    void simulatedFamilyKeepsItsDevice() {
        const QString frequency = ":SOURce1:FREQuency?";
        const QByteArray fresh =
            SimulatedDevice::forFamily("keysight-33500")->process(frequency.toUtf8() + '\n').bytes;
        const auto first = InstrumentFactory::open("SIM::keysight-33500");
        first->send(":SOURce1:FREQuency 2500");
        const QByteArray changed = first->query(frequency);
        QVERIFY(changed + '\n' != fresh);
        std::vector<std::shared_ptr<ScpiInstrument>> others(8);
        std::vector<std::thread> threads;
        for (auto &other : others)
            threads.emplace_back(
                [&other] { other = InstrumentFactory::open("sim:: KEYSIGHT-33500"); });
        for (auto &thread : threads)
            thread.join();
        for (const auto &other : others)
            QCOMPARE(other->query(frequency), changed);
    }
};

QTEST_GUILESS_MAIN(TestInstrument)
#include "tst_instrument.moc"
