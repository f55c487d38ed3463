#include "AutomationAssert.h"
#include "CancelledExchange.h"
#include "ClientChecks.h"
#include "TransportRig.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/VisaStatus.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>

using namespace ixo;
using test::errorOf;
using test::everyByte;

namespace {

// Short, so that faults cost little; an idle loopback exchange still fits in it under load.
constexpr int kTimeoutMs = 400;
// So long that an exchange ending early can only have been cut short.
constexpr int kLongTimeoutMs = 20000;
// What a protocol may spend cleaning up after a timeout (a device clear) before it reports.
constexpr int kCleanupMs = 1500;

const test::TransportKind &kindNamed(const QString &name) {
    for (const test::TransportKind &kind : test::transports())
        if (kind.name == name)
            return kind;
    qFatal("no transport %s", qPrintable(name));
}

void captureBlocks(ScpiInstrument &client) {
    client.setSetupQuery(SimulatedDevice::kSetupQuery);
    client.setRestoreCommand(SimulatedDevice::kSetupCommand);
}

} // namespace

class TestTransportContract : public QObject {
    Q_OBJECT

private slots:
    void captureAndRestore_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<bool>("blocks");
        for (const test::TransportKind &kind : test::transports()) {
            QTest::addRow("%s: learn string", qPrintable(kind.name)) << kind.name << false;
            QTest::addRow("%s: 1 MiB setup block", qPrintable(kind.name)) << kind.name << true;
        }
    }

    void captureAndRestore() {
        QFETCH(QString, transport);
        QFETCH(bool, blocks);
        const auto rig = kindNamed(transport).make();
        ScpiInstrument &client = rig->client();
        SimulatedDevice &device = rig->device();
        if (blocks)
            captureBlocks(client);
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
        QCOMPARE(client.Version(), SimulatedDevice::kDefaultVersion);

        const QByteArray waveform = everyByte(1024 * 1024);
        device.apply(":FREQ 2.4E9\n:OUTP ON;:TRIG:SOUR BUS\n:ARB:DATA " +
                     Ieee488Block::encode(waveform));
        const QVariant state = client.CaptureState();
        QCOMPARE(variantTypeOf(state), blocks ? VariantType::ByteArray : VariantType::String);
        device.apply(":FREQ 1E6\n:OUTP OFF\n:TRIG:SOUR EXT\n:ARB:DATA #13abc");
        client.RestoreState(state);
        QCOMPARE(device.setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(device.setting(":OUTP"), QStringLiteral("ON"));
        QCOMPARE(device.setting(":TRIG:SOUR"), QStringLiteral("BUS"));
        // The waveform travels in the setup block only; a learn string begins with *RST.
        QVERIFY(device.waveform() == (blocks ? waveform : QByteArray()));
        QCOMPARE(client.readErrors(), QStringList());
        QCOMPARE(client.CaptureState(), state);

        // Identity is asked once per connection: a changed answer is not seen.
        device.garbleNextAnswer("OTHER,XX-1,0,9.9\n");
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
    }

    void blockEndingInNewline_data() { cancel_data(); }

    // A block's last data byte may be a newline, which is data: the message still needs its
    // terminator, or the next command runs into it.
    void blockEndingInNewline() {
        QFETCH(QString, transport);
        const auto rig = kindNamed(transport).make();
        ScpiInstrument &client = rig->client();
        client.setTimeout(kTimeoutMs);
        client.setSetupQuery(SimulatedDevice::kWaveformCommand + u'?');
        client.setRestoreCommand(SimulatedDevice::kWaveformCommand);
        rig->device().apply(":ARB:DATA #14ab\r\n\n");
        const QVariant state = client.CaptureState();
        QCOMPARE(state.toByteArray(), QByteArray("ab\r\n"));
        rig->device().apply(":ARB:DATA #13xyz");
        client.RestoreState(state);
        QCOMPARE(rig->device().waveform(), QByteArray("ab\r\n"));
    }

    void faults_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        for (const test::TransportKind &kind : test::transports()) {
            // A pseudo-terminal never closes: an answer dropped halfway is one that never ends.
            const bool line = kind.name == u"serial" || kind.name == u"usbtmc";
            const std::tuple<const char *, const char *, int> faults[] = {
                {"DROP", "dropped answer", line ? VisaStatus::Timeout : VisaStatus::ConnectionLost},
                {"STALL", "stalled answer", VisaStatus::Timeout},
                {"GARBAGE", "garbage answer", VisaStatus::Io}};
            for (const auto &[fault, what, number] : faults)
                QTest::addRow("%s: %s", qPrintable(kind.name), what)
                    << kind.name << QString(fault) << number;
        }
    }

    // Each fault is an error within the timeout, never a wait for the stalled answer, and the
    // next call works on a fresh connection.
    void faults() {
        QFETCH(QString, transport);
        QFETCH(QString, fault);
        const auto rig = kindNamed(transport).make();
        ScpiInstrument &client = rig->client();
        captureBlocks(client);
        rig->device().apply(":FREQ 2.4E9\n:ARB:DATA " + Ieee488Block::encode(everyByte(65536)));
        const QVariant state = client.CaptureState();
        client.setTimeout(kTimeoutMs);
        client.send(SimulatedDevice::kFaultCommand + u' ' + fault);
        QElapsedTimer elapsed;
        elapsed.start();
        QTEST(errorOf([&] { client.CaptureState(); }), "number");
        QVERIFY2(elapsed.elapsed() < kTimeoutMs + kCleanupMs,
                 qPrintable(QString::number(elapsed.elapsed())));
        QCOMPARE(client.CaptureState(), state);
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
    }

    void lateAnswer_data() {
        QTest::addColumn<QString>("transport");
        QTest::addColumn<QString>("next");
        for (const test::TransportKind &kind : test::transports())
            for (const char *next : {"capture", "*IDN?", "restore"})
                QTest::addRow("%s: then %s", qPrintable(kind.name), next)
                    << kind.name << QString(next);
    }

    // An answer given up must not come later as the answer to the next query: once it has
    // gone out, whatever comes next gets its own answer, and so does the exchange after it.
    void lateAnswer() {
        QFETCH(QString, transport);
        QFETCH(QString, next);
        constexpr int lateMs = kTimeoutMs + 300;
        const auto rig = kindNamed(transport).make();
        ScpiInstrument &client = rig->client();
        SimulatedDevice &device = rig->device();
        const QVariant defaults = client.CaptureState();
        device.apply(":FREQ 2.4E9");
        client.setTimeout(kTimeoutMs);
        device.delayNextCapture(lateMs);
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(errorOf([&] { client.CaptureState(); }), VisaStatus::Timeout);
        QThread::msleep(
            static_cast<unsigned long>(std::max<qint64>(0, lateMs + 200 - elapsed.elapsed())));
        // Unlike the late answer, which holds 2.4E9.
        device.apply(":FREQ 3E9");
        client.setTimeout(ScpiInstrument::kDefaultTimeoutMs);
        QByteArray frequency = "3.000000E+09";
        if (next == QLatin1String("capture")) {
            const QString learnString = client.CaptureState().toString();
            QVERIFY2(learnString.contains(QLatin1String(":FREQ 3.000000E+09")),
                     qPrintable(learnString));
        } else if (next == QLatin1String("*IDN?")) {
            QCOMPARE(client.query(next), SimulatedDevice().identity().toUtf8());
        } else {
            client.RestoreState(defaults);
            frequency = "1.000000E+09";
        }
        QCOMPARE(client.query(QStringLiteral(":FREQ?")), frequency);
        QCOMPARE(client.readErrors(), QStringList());
    }

    void cancel_data() {
        QTest::addColumn<QString>("transport");
        for (const test::TransportKind &kind : test::transports())
            QTest::newRow(qPrintable(kind.name)) << kind.name;
    }

    // A cancel from another thread ends an exchange waiting for a held-back answer long before
    // its timeout; the next call connects anew.
    void cancel() {
        QFETCH(QString, transport);
        const auto rig = kindNamed(transport).make();
        ScpiInstrument &client = rig->client();
        client.setTimeout(kLongTimeoutMs);
        rig->device().stallNextCapture();
        const auto outcome = test::cancelWhileWaiting(
            client, [&] { client.CaptureState(); }, [&] { client.Model(); });
        QCOMPARE(outcome.number, VisaStatus::ConnectionLost);
        QVERIFY2(outcome.elapsedMs < kLongTimeoutMs / 4,
                 qPrintable(QString::number(outcome.elapsedMs)));
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
    }

    void unreachable_data() { cancel_data(); }

    // Nobody there is known at once, not after the timeout.
    void unreachable() {
        QFETCH(QString, transport);
        ScpiInstrument client(kindNamed(transport).unserved());
        client.setTimeout(kLongTimeoutMs);
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(errorOf([&] { client.Model(); }), VisaStatus::ResourceNotFound);
        QVERIFY2(elapsed.elapsed() < 2000, qPrintable(QString::number(elapsed.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestTransportContract)
#include "tst_transportcontract.moc"
