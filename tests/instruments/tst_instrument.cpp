#include "AutomationAssert.h"
#include "CancelledExchange.h"
#include "ServedDevice.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfile.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ScpiSettings.h"
#include "instruments/VisaStatus.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatedInstrument.h"
#include "model/ItemStateInfo.h"
#include "server/TypeLibrary.h"
#include "support/LegacySetupFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <functional>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

const QString kItemProgId = QStringLiteral("IxoInstrSetups.ItemStateInfo");

using ServedDevice = test::ServedDevice<SimulatorServer>;

QString socketResource(const ServedDevice &served) {
    return QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(served.port());
}

// A client over loopback, or the in-process simulated instrument; both on the same device.
struct Bench {
    explicit Bench(bool loopback, bool blocks) {
        if (loopback) {
            served = std::make_unique<ServedDevice>();
            device = served->device;
            client = std::make_unique<ScpiInstrument>(socketResource(*served));
            client->setRestoreCommand(SimulatedDevice::kSetupCommand);
        } else {
            device = std::make_shared<SimulatedDevice>();
            client = std::make_unique<SimulatedInstrument>(device);
        }
        if (blocks)
            client->setSetupQuery(SimulatedDevice::kSetupQuery);
    }
    std::unique_ptr<ServedDevice> served;
    std::shared_ptr<SimulatedDevice> device;
    std::unique_ptr<ScpiInstrument> client;
};

} // namespace

class TestInstrument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }

    void captureAndRestore_data() {
        QTest::addColumn<bool>("loopback");
        QTest::addColumn<bool>("blocks");
        QTest::newRow("loopback, learn string") << true << false;
        QTest::newRow("loopback, setup block") << true << true;
        QTest::newRow("in-process, learn string") << false << false;
        QTest::newRow("in-process, setup block") << false << true;
    }

    void captureAndRestore() {
        QFETCH(bool, loopback);
        QFETCH(bool, blocks);
        Bench bench(loopback, blocks);
        ScpiInstrument &client = *bench.client;
        QCOMPARE(client.Model(), QStringLiteral("SG-100"));
        QCOMPARE(client.Version(), QStringLiteral("2.1.0"));
        QCOMPARE(client.identity().manufacturer, QStringLiteral("IXO"));

        // A waveform of every byte value, newlines included, travels in the setup block only.
        QByteArray waveform(300 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < waveform.size(); ++i)
            waveform[i] = static_cast<char>(i * 7);
        const QByteArray setWaveform = ":ARB:DATA " + Ieee488Block::encode(waveform);
        bench.device->apply(":FREQ 2.4E9\n:OUTP ON;:TRIG:SOUR BUS\n" + setWaveform);
        const QVariant state = client.CaptureState();
        QCOMPARE(variantTypeOf(state), blocks ? VariantType::ByteArray : VariantType::String);
        bench.device->apply(":FREQ 1E6\n:OUTP OFF\n:TRIG:SOUR EXT\n:ARB:DATA #13abc");
        client.RestoreState(state);
        QCOMPARE(bench.device->setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(bench.device->setting(":OUTP"), QStringLiteral("ON"));
        QCOMPARE(bench.device->setting(":TRIG:SOUR"), QStringLiteral("BUS"));
        // The learn string begins with *RST, which empties the memory.
        QCOMPARE(bench.device->waveform(), blocks ? waveform : QByteArray());

        // Identity is asked once per connection: a changed answer is not seen.
        bench.device->garbleNextAnswer("OTHER,XX-1,0,9.9\n");
        QCOMPARE(client.Model(), QStringLiteral("SG-100"));
    }

    void faults_data() {
        using Setup = std::function<void(SimulatedDevice &)>;
        QTest::addColumn<bool>("loopback");
        QTest::addColumn<bool>("blocks");
        QTest::addColumn<Setup>("fault");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        const auto none = [](SimulatedDevice &) {};
        for (const bool loopback : {true, false}) {
            const char *via = loopback ? "loopback" : "in-process";
            QTest::addRow("%s: restore refused", via)
                << loopback << false << Setup([](SimulatedDevice &d) {
                       d.failNextRestore("-221,\"Settings conflict\"");
                   })
                << "restore" << ErrorNumber::Fail << "-221,\"Settings conflict\"";
            QTest::addRow("%s: capture timeout", via)
                << loopback << false << Setup([](SimulatedDevice &d) { d.delayNextCapture(3000); })
                << "capture" << VisaStatus::Timeout << "did not answer *LRN? within 200 ms";
            QTest::addRow("%s: dropped mid-block", via)
                << loopback << true << Setup([](SimulatedDevice &d) { d.dropNextCapture(); })
                << "capture" << VisaStatus::ConnectionLost << "closed the connection";
        }
        QTest::newRow("capture refused")
            << true << true << Setup([](SimulatedDevice &d) { d.failNextCapture(); }) << "capture"
            << ErrorNumber::Fail << "during the capture: -200,\"Execution error";
        QTest::newRow("bad setting in the setup")
            << true << false << Setup(none) << "restore :FREQ 99E9" << ErrorNumber::Fail
            << "-222,\"Data out of range; :FREQ 99E9\"";
        QTest::newRow("restore timeout")
            << true << false << Setup([](SimulatedDevice &d) { d.delayNextRestore(3000); })
            << "restore" << VisaStatus::Timeout << "did not answer *OPC? within 200 ms";
        QTest::newRow("garbage identity")
            << true << false << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("hello\n"); })
            << "model" << VisaStatus::Io << "did not identify itself: *IDN? answered \"hello\"";
        QTest::newRow("garbage for a block")
            << true << true << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("\x01zz\n"); })
            << "capture" << VisaStatus::Io << "with \"\\x01zz\\x0a\", not a block";
        QTest::newRow("block header over the limit")
            << true << true
            << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("#9999999999\n"); }) << "capture"
            << VisaStatus::Io
            << "announced a block of 999999999 bytes for :SYST:SET?, more than the limit";
        QTest::newRow("block shorter than its header")
            << true << true << Setup([](SimulatedDevice &d) { d.garbleNextAnswer("#15abc\n"); })
            << "capture" << VisaStatus::Timeout << "did not answer :SYST:SET? within 200 ms";
    }

    // Each fault gives its error instead of a hang, and the next call works again.
    void faults() {
        QFETCH(bool, loopback);
        QFETCH(bool, blocks);
        QFETCH(std::function<void(SimulatedDevice &)>, fault);
        QFETCH(QString, operation);
        Bench bench(loopback, blocks);
        ScpiInstrument &client = *bench.client;
        client.setTimeout(200);
        QVariant state;
        if (operation != QLatin1String("model"))
            state = operation.startsWith(QLatin1String("restore ")) ? QVariant(operation.mid(8))
                                                                    : client.CaptureState();
        fault(*bench.device);
        const std::function<void()> action = [&] {
            if (operation == QLatin1String("model"))
                client.Model();
            else if (operation == QLatin1String("capture"))
                client.CaptureState();
            else
                client.RestoreState(state);
        };
        try {
            action();
            QFAIL("no error");
        } catch (const AutomationError &error) {
            QTEST(error.number(), "number");
            QFETCH(QString, text);
            QVERIFY2(error.description().contains(text), qPrintable(error.description()));
        }
        QCOMPARE(client.Model(), QStringLiteral("SG-100"));
        QVERIFY(!client.CaptureState().toByteArray().isEmpty());
    }

    // A peer that takes the connection and never answers: only a cancel ends the wait early.
    void cancelEndsAWaitingExchange() {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        ScpiInstrument client(
            QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(silent.serverPort()));
        client.setTimeout(20000);
        const auto outcome = test::cancelWhileWaiting(client, [&] { client.Model(); });
        QCOMPARE(outcome.number, VisaStatus::ConnectionLost);
        QVERIFY(outcome.elapsedMs < 10000);
    }

    void priorErrors_data() {
        QTest::addColumn<bool>("loopback");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("eventStatus");
        const QStringList two{"-113,\"Undefined header\"", "-222,\"Data out of range\""};
        const QString both = "-113,\"Undefined header\"; -222,\"Data out of range\"";
        for (const bool loopback : {false, true}) {
            const char *via = loopback ? "loopback" : "in-process";
            for (const char *operation : {"capture", "restore"}) {
                const QString before =
                    QStringLiteral("errors already queued before the %1: ").arg(operation);
                QTest::addRow("%s %s: two kept", via, operation)
                    << loopback << operation << true << two << false << before + both << 0x30;
                QTest::addRow("%s %s: kept, and it fails too", via, operation)
                    << loopback << operation << true << two.mid(1) << true << before + two.at(1)
                    << 0x10;
                QTest::addRow("%s %s: none queued", via, operation)
                    << loopback << operation << true << QStringList{} << false << "" << 0;
                QTest::addRow("%s %s: cleared", via, operation)
                    << loopback << operation << false << two << false << "" << 0;
            }
        }
    }

    // Errors from before an operation are reported once as a warning and neither blamed on it
    // nor lost; the status registers are left alone unless the profile clears them.
    void priorErrors() {
        QFETCH(bool, loopback);
        QFETCH(QString, operation);
        QFETCH(bool, keep);
        QFETCH(QStringList, queued);
        QFETCH(bool, fails);
        QFETCH(QString, warning);
        Bench bench(loopback, false);
        ScpiInstrument &client = *bench.client;
        InstrumentProfile profile;
        profile.keepPriorErrors = keep;
        client.applyProfile(profile);
        QStringList handled;
        client.setWarningHandler([&](const QString &text) { handled.append(text); });
        const QVariant state = client.CaptureState();
        for (const QString &error : queued)
            bench.device->queueError(error);
        const bool capture = operation == QLatin1String("capture");
        if (fails && capture)
            bench.device->failNextCapture();
        else if (fails)
            bench.device->failNextRestore();
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
        QTEST(bench.device->eventStatus(), "eventStatus");
        QCOMPARE(client.readErrors(), QStringList{});
    }

    void completion_data() {
        using Completion = InstrumentProfile::Completion;
        QTest::addColumn<bool>("loopback");
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
        for (const bool loopback : {false, true}) {
            const char *via = loopback ? "loopback" : "in-process";
            for (const auto &[completion, name] : waits) {
                for (const bool compound : {true, false})
                    QTest::addRow("%s: %s, %s", via, name, compound ? "compound" : "separate")
                        << loopback << int(completion) << compound << 0 << 0 << 200 << 2000 << false
                        << false << "";
            }
            QTest::addRow("%s: *ESR? with the bit of an earlier *OPC", via)
                << loopback << int(Completion::EsrPolling) << false << 0 << 0 << 200 << 2000 << true
                << false << "";
            QTest::addRow("%s: delay longer than the operation", via)
                << loopback << int(Completion::Delay) << false << 400 << 0 << 200 << 2000 << false
                << false << "";
            // A fixed delay trusts the profile: it cannot know the instrument is still busy.
            QTest::addRow("%s: delay shorter than the operation", via)
                << loopback << int(Completion::Delay) << false << 10 << 0 << 5000 << 2000 << false
                << true << "";
            QTest::addRow("%s: settle time", via) << loopback << int(Completion::OpcQuery) << true
                                                  << 0 << 300 << 0 << 2000 << false << false << "";
            QTest::addRow("%s: *OPC? too late", via)
                << loopback << int(Completion::OpcQuery) << true << 0 << 0 << 3000 << 300 << false
                << true << "did not answer *OPC? within 300 ms";
            QTest::addRow("%s: *WAI too late", via)
                << loopback << int(Completion::Wait) << false << 0 << 0 << 3000 << 300 << false
                << true << "did not answer :SYST:ERR? within 300 ms";
            QTest::addRow("%s: *ESR? too late", via)
                << loopback << int(Completion::EsrPolling) << true << 0 << 0 << 3000 << 300 << false
                << true << "did not complete the restore within 300 ms (*ESR? polling)";
        }
    }

    // Each way of awaiting a restore returns only once the instrument has taken the setup, and
    // a restore that takes too long is a timeout, not a hang.
    void completion() {
        QFETCH(bool, loopback);
        QFETCH(int, completion);
        QFETCH(int, delayMs);
        QFETCH(int, settleMs);
        QFETCH(int, operationMs);
        QFETCH(QString, error);
        Bench bench(loopback, false);
        ScpiInstrument &client = *bench.client;
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
        bench.device->apply(":FREQ 3E9");
        const QVariant state = client.CaptureState();
        bench.device->apply(":FREQ 1E6");
        QFETCH(bool, staleBit);
        if (staleBit)
            client.send("*OPC");
        bench.device->delayNextRestore(operationMs);
        QElapsedTimer elapsed;
        elapsed.start();
        const QString text = errorTextOf([&] { client.RestoreState(state); });
        QVERIFY2(error.isEmpty() ? text.isEmpty() : text.contains(error), qPrintable(text));
        QTEST(bench.device->operationPending(), "pendingAfter");
        QVERIFY(elapsed.elapsed() >= settleMs + delayMs);
        QCOMPARE(bench.device->setting(":FREQ"), QStringLiteral("3.000000E+09"));
        QVERIFY(client.warnings().isEmpty());
    }

    void unreachable() {
        ScpiInstrument client(QStringLiteral("TCPIP::127.0.0.1::1::SOCKET"));
        QCOMPARE(errorOf([&] { client.Model(); }), VisaStatus::ResourceNotFound);
    }

    // The parser has tests of its own; here, what the client makes of its verdict.
    void resourceStrings_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::newRow("socket") << "TCPIP::10.0.0.5::5025::SOCKET" << 0;
        QTest::newRow("malformed") << "TCPIP::host::0::SOCKET" << VisaStatus::InvalidResourceName;
        QTest::newRow("interface not built") << "GPIB0::12::INSTR" << VisaStatus::NotSupported;
    }

    void resourceStrings() {
        QFETCH(QString, text);
        QTEST(errorOf([&] { ScpiInstrument client(text); }), "number");
    }

    void legacyFiles_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("progId");
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("fields"); // Name, Description, Model, Version, data
        QTest::newRow("full header")
            << QByteArray("# Model: SG-100\n# Version: 2.1.0\n# Name: Bench\n"
                          "# Description: carrier on\n:FREQ 2.4E9\r\n\n:OUTP ON\n")
            << kItemProgId << 0
            << QStringList{"Bench", "carrier on", "SG-100", "2.1.0", ":FREQ 2.4E9\n:OUTP ON"};
        QTest::newRow("no header")
            << QByteArray(":FREQ 2.4E9;:OUTP ON") << kItemProgId << 0
            << QStringList{"bench-carrier", "", "", "*", ":FREQ 2.4E9;:OUTP ON"};
        const int format = ErrorNumber::InvalidFileFormat;
        QTest::newRow("binary") << QByteArray("IXS1\x00\x02\x03", 7) << kItemProgId << format
                                << QStringList{"not text"};
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe:FREQ 1E6\n") << kItemProgId << format
                                   << QStringList{"not UTF-8"};
        QTest::newRow("markup") << QByteArray("<?xml version=\"1.0\"?>\n<setup/>\n") << kItemProgId
                                << format << QStringList{"Line 1 of the setup file"};
        QTest::newRow("comments only") << QByteArray("# Model: SG-100\n") << kItemProgId << format
                                       << QStringList{"no instrument commands"};
        QTest::newRow("not a state class")
            << QByteArray(":OUTP ON\n") << QStringLiteral("IxoInstrSetups.StateInfo")
            << int(ErrorNumber::TypeMismatch) << QStringList{"does not hold a saved state"};
    }

    // An imported setup restores through the same client.
    void legacyFiles() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, progId);
        QFETCH(QStringList, fields);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench-carrier.set"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        SimulatedInstrument instrument;
        ObjectRef object;
        const QString error =
            errorTextOf([&] { object = instrument.ImportLegacyFile(path, progId); });
        QTEST(errorOf([&] { instrument.ImportLegacyFile(path, progId); }), "number");
        if (!object) {
            QVERIFY2(error.contains(fields.value(0)), qPrintable(error));
            return;
        }
        const auto state = std::dynamic_pointer_cast<ItemStateInfo>(object);
        QVERIFY(state);
        QCOMPARE((QStringList{state->Name(), state->Description(), state->Model(), state->Version(),
                              state->data().toString()}),
                 fields);
        instrument.RestoreState(state->data());
        QCOMPARE(instrument.setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(instrument.setting(":OUTP"), QStringLiteral("ON"));
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
    void settingsOverLoopback() {
        ServedDevice served;
        const ScpiSettings settings(InstrumentFactory::open(socketResource(served)));
        QCOMPARE(settings.read().value(":FREQ"), QStringLiteral("1.000000E+09"));
        settings.write(":FREQ", " 2.5E9 ");
        QCOMPARE(served.device->setting(":FREQ"), QStringLiteral("2.500000E+09"));
        QCOMPARE(settings.read().value(":FREQ"), QStringLiteral("2.500000E+09"));
        QVERIFY(errorTextOf([&] { settings.write(":FREQ", "1E99"); }).contains(":FREQ 1E99"));
        QCOMPARE(errorOf([&] { settings.write(":FREQ", "1;*RST"); }),
                 ErrorNumber::InvalidProcedureCall);
        QCOMPARE(served.device->setting(":FREQ"), QStringLiteral("2.500000E+09"));
    }

    void factory() {
        QVERIFY(std::dynamic_pointer_cast<SimulatedInstrument>(InstrumentFactory::open(" sim ")));
        QCOMPARE(errorOf([] { InstrumentFactory::open("GPIB0::5::INSTR"); }),
                 VisaStatus::NotSupported);
        QCOMPARE(InstrumentFactory::open("tcpip::host::5025::socket")->resourceName(),
                 QStringLiteral("TCPIP0::host::5025::SOCKET"));
    }
};

QTEST_GUILESS_MAIN(TestInstrument)
#include "tst_instrument.moc"
