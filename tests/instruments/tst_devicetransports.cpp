#include "AutomationAssert.h"
#include "CancelledExchange.h"
#include "FakeSysfs.h"
#include "PseudoTerminal.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ResourceString.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/SerialTransport.h"
#include "instruments/transports/UsbtmcTransport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;
using test::FakeSysfs;
using test::PseudoTerminal;
using test::PseudoTerminalResponder;

namespace {

constexpr int kShortDeadlineMs = 200;

std::unique_ptr<UsbtmcTransport> usbtmc(const QString &resource, const FakeSysfs &tree) {
    const ResourceString r = ResourceString::parse(resource);
    return std::make_unique<UsbtmcTransport>(r.usbVendor, r.usbProduct, r.usbSerial, r.usbInterface,
                                             r.toString(), tree.sysfs(), tree.dev());
}

std::unique_ptr<SerialTransport> serial(const QString &device, const QString &options = {}) {
    return std::make_unique<SerialTransport>(device, SerialSettings::parse(options),
                                             QStringLiteral("ASRL") + device +
                                                 QStringLiteral("::INSTR"));
}

// The simulated device answering on a pseudo-terminal, reached as a serial port or as the
// USBTMC node a fake sysfs tree names.
struct LineRig {
    LineRig() { tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "A1", "00", line.path()); }

    std::unique_ptr<InstrumentTransport> transport(bool usb) const {
        if (usb)
            return usbtmc(QStringLiteral("USB::0x1AB1::0x04CE::A1::INSTR"), tree);
        return serial(line.path(), QStringLiteral("115200"));
    }

    PseudoTerminal line;
    const std::shared_ptr<SimulatedDevice> device = std::make_shared<SimulatedDevice>();
    PseudoTerminalResponder responder{line, device};
    FakeSysfs tree;
};

} // namespace

class TestDeviceTransports : public QObject {
    Q_OBJECT

private slots:
    void usbtmcLookup_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("error");
        QTest::newRow("by serial") << "USB::0x1AB1::0x04CE::DS1ZB2::INSTR"
                                   << "usbtmc3"
                                   << "";
        QTest::newRow("decimal ids, serial in other case") << "USB::6833::1230::ds1za1::INSTR"
                                                           << "usbtmc0"
                                                           << "";
        QTest::newRow("with interface") << "USB::0x0957::0x1796::MY44::2::INSTR"
                                        << "usbtmc1"
                                        << "";
        QTest::newRow("other interface")
            << "USB::0x0957::0x1796::MY44::0::INSTR"
            << ""
            << "the USBTMC instruments connected are USB0::0x1AB1::0x04CE::DS1ZA1::0::INSTR";
        QTest::newRow("other serial") << "USB::0x1AB1::0x04CE::DS1ZC3::INSTR"
                                      << ""
                                      << "USB0::0x0957::0x1796::MY44::2::INSTR (";
        QTest::newRow("other product") << "USB::0x1AB1::0x04CF::DS1ZA1::INSTR"
                                       << ""
                                       << "is not connected";
        QTest::newRow("no serial number") << "USB::0x0699::0x0368::C0101::INSTR"
                                          << ""
                                          << "USB0::0x0699::0x0368::::0::INSTR";
    }

    void usbtmcLookup() {
        QFETCH(QString, resource);
        QFETCH(QString, node);
        QFETCH(QString, error);
        PseudoTerminal line;
        QVERIFY(line.isValid());
        FakeSysfs tree;
        tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "DS1ZA1", "00", line.path());
        tree.add(QStringLiteral("usbtmc1"), "0957", "1796", "MY44", "02", line.path());
        tree.add(QStringLiteral("usbtmc3"), "1ab1", "04ce", "DS1ZB2", "00", line.path());
        tree.add(QStringLiteral("usbtmc7"), "0699", "0368", nullptr, "00", line.path());
        const auto transport = usbtmc(resource, tree);
        if (node.isEmpty()) {
            const QString message = errorTextOf([&] { transport->open(QDeadlineTimer(1000)); });
            QVERIFY2(message.contains(error), qPrintable(message));
            QVERIFY2(message.startsWith(ResourceString::parse(resource).toString()),
                     qPrintable(message));
            QCOMPARE(errorOf([&] { transport->open(QDeadlineTimer(1000)); }),
                     VisaStatus::ResourceNotFound);
            QVERIFY(!transport->isOpen());
            return;
        }
        transport->open(QDeadlineTimer(1000));
        QVERIFY(transport->isOpen());
        QCOMPARE(transport->node(), tree.dev() + QLatin1Char('/') + node);
    }

    void usbtmcNothingConnected() {
        FakeSysfs tree;
        QDir().mkpath(tree.sysfs() + QStringLiteral("/class/usbmisc"));
        const auto transport = usbtmc(QStringLiteral("USB::1::2::X::INSTR"), tree);
        const QString message = errorTextOf([&] { transport->open(QDeadlineTimer(1000)); });
        QVERIFY2(message.contains(QLatin1String("no USBTMC instrument is connected")),
                 qPrintable(message));
        QVERIFY(UsbtmcTransport::devices(tree.sysfs(), tree.dev()).isEmpty());
    }

    void usbtmcNodeProblems_data() {
        QTest::addColumn<bool>("unreadable");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("no device node")
            << false << VisaStatus::ResourceNotFound << "No such file or directory";
        QTest::newRow("no permission")
            << true << VisaStatus::NoPermission << "SUBSYSTEM==\"usbmisc\", KERNEL==\"usbtmc*\"";
    }

    void usbtmcNodeProblems() {
        QFETCH(bool, unreadable);
        QFETCH(QString, message);
        if (unreadable && ::geteuid() == 0)
            QSKIP("permissions do not hold for root");
        FakeSysfs tree;
        tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "A1", "00", QString());
        if (unreadable) {
            const QString node = tree.dev() + QStringLiteral("/usbtmc0");
            QFile file(node);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            QVERIFY(::chmod(QFile::encodeName(node).constData(), 0) == 0);
        }
        const auto transport = usbtmc(QStringLiteral("USB::0x1AB1::0x04CE::A1::INSTR"), tree);
        QTEST(errorOf([&] { transport->open(QDeadlineTimer(1000)); }), "number");
        const QString text = errorTextOf([&] { transport->open(QDeadlineTimer(1000)); });
        QVERIFY2(text.contains(message) && text.contains(tree.dev() + QStringLiteral("/usbtmc0")),
                 qPrintable(text));
    }

    void usbtmcExchange() {
        PseudoTerminal line;
        QVERIFY(line.isValid());
        FakeSysfs tree;
        tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "A1", "00", line.path());
        const auto transport = usbtmc(QStringLiteral("USB::0x1AB1::0x04CE::A1::INSTR"), tree);
        transport->open(QDeadlineTimer(1000));

        transport->write("*IDN?\n", QDeadlineTimer(1000));
        QCOMPARE(line.take(6), QByteArray("*IDN?\n"));
        line.give("IXO,SG-100,1,2.1.0\n");
        // One answer arrives whole; a small read leaves the rest for the next.
        QTest::qWait(50);
        QCOMPARE(transport->read(4, QDeadlineTimer(1000)), QByteArray("IXO,"));
        QCOMPARE(transport->read(100, QDeadlineTimer(1000)), QByteArray("SG-100,1,2.1.0\n"));

        // Nothing to read: empty once the deadline passes, not before, not much later.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(transport->read(100, QDeadlineTimer(kShortDeadlineMs)).isEmpty());
        QVERIFY(clock.elapsed() >= kShortDeadlineMs - 5);
        QVERIFY(clock.elapsed() < 5 * kShortDeadlineMs);
        QVERIFY(transport->read(100, QDeadlineTimer(0)).isEmpty());

        // The instrument goes away.
        line.closeMaster();
        QCOMPARE(errorOf([&] { transport->read(100, QDeadlineTimer(1000)); }),
                 VisaStatus::ConnectionLost);
        QVERIFY(!transport->isOpen());
        QCOMPARE(errorOf([&] { transport->write("*RST\n", QDeadlineTimer(100)); }),
                 VisaStatus::ConnectionLost);
    }

    void serialLine_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("received");
        QTest::newRow("LF") << "" << QByteArray("*IDN?\n") << QByteArray("A,B\n")
                            << QByteArray("A,B\n");
        QTest::newRow("CRLF") << "19200,crlf" << QByteArray("*IDN?\r\n") << QByteArray("A,B\r\n")
                              << QByteArray("A,B\r\n");
        QTest::newRow("CR") << "CR,8N2,115200" << QByteArray("*IDN?\r") << QByteArray("A,B\r")
                            << QByteArray("A,B\n");
    }

    void serialLine() {
        QFETCH(QString, options);
        PseudoTerminal line;
        QVERIFY(line.isValid());
        const auto transport = serial(line.path(), options);
        transport->open(QDeadlineTimer(1000));
        QVERIFY(transport->isOpen());

        // The line settings reach the port (a pseudo-terminal keeps 8 bits without parity).
        termios attributes{};
        QCOMPARE(::tcgetattr(line.terminal(), &attributes), 0);
        const SerialSettings &settings = transport->settings();
        QCOMPARE(attributes.c_cflag & CSIZE,
                 settings.dataBits == 7 ? tcflag_t(CS7) : tcflag_t(CS8));
        QCOMPARE((attributes.c_cflag & PARENB) != 0,
                 settings.parity != SerialSettings::Parity::None);
        QCOMPARE((attributes.c_cflag & CSTOPB) != 0,
                 settings.stopBits == SerialSettings::StopBits::Two);
        const speed_t speed = settings.baudRate == 115200  ? B115200
                              : settings.baudRate == 19200 ? B19200
                                                           : B9600;
        QCOMPARE(::cfgetospeed(&attributes), speed);

        transport->write("*IDN?\n", QDeadlineTimer(1000));
        QFETCH(QByteArray, sent);
        QCOMPARE(line.take(sent.size() + 1, 300), sent);
        QFETCH(QByteArray, answer);
        line.give(answer);
        QByteArray got;
        QFETCH(QByteArray, received);
        while (got.size() < received.size()) {
            const QByteArray bytes = transport->read(100, QDeadlineTimer(1000));
            QVERIFY(!bytes.isEmpty());
            got += bytes;
        }
        QCOMPARE(got, received);
    }

    void serialFailures() {
        PseudoTerminal line;
        QVERIFY(line.isValid());
        const auto transport = serial(line.path());
        transport->open(QDeadlineTimer(1000));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(transport->read(100, QDeadlineTimer(kShortDeadlineMs)).isEmpty());
        QVERIFY(clock.elapsed() >= kShortDeadlineMs - 5);
        QVERIFY(clock.elapsed() < 5 * kShortDeadlineMs);
        line.closeMaster();
        QCOMPARE(errorOf([&] { transport->read(100, QDeadlineTimer(1000)); }),
                 VisaStatus::ConnectionLost);
        QVERIFY(!transport->isOpen());

        const auto missing = serial(QStringLiteral("/dev/ttyIXO-not-there"));
        QCOMPARE(errorOf([&] { missing->open(QDeadlineTimer(1000)); }),
                 VisaStatus::ResourceNotFound);
        QVERIFY(errorTextOf([&] {
                    missing->open(QDeadlineTimer(1000));
                }).contains(QLatin1String("/dev/ttyIXO-not-there")));
    }

    // Neither a port nor a polled node can be woken from another thread, so the waits are
    // sliced; a cancel must still end a held-back answer long before the timeout.
    void cancelEndsAStalledAnswer_data() {
        QTest::addColumn<bool>("usb");
        QTest::newRow("serial") << false;
        QTest::newRow("USBTMC") << true;
    }

    void cancelEndsAStalledAnswer() {
        QFETCH(bool, usb);
        LineRig rig;
        QVERIFY(rig.line.isValid());
        ScpiInstrument client(rig.transport(usb));
        const auto &device = rig.device;
        client.setTimeout(20000);
        device->stallNextCapture();
        const auto outcome = test::cancelWhileWaiting(
            client, [&] { client.CaptureState(); }, [&] { client.Model(); });
        QCOMPARE(outcome.number, VisaStatus::ConnectionLost);
        QVERIFY2(outcome.elapsedMs < 5000, qPrintable(QString::number(outcome.elapsedMs)));
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
    }

    void captureAndRestore_data() {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<bool>("blocks");
        QTest::newRow("serial, learn string") << false << false;
        QTest::newRow("serial, setup block") << false << true;
        QTest::newRow("USBTMC, learn string") << true << false;
        QTest::newRow("USBTMC, setup block") << true << true;
    }

    void captureAndRestore() {
        QFETCH(bool, usb);
        QFETCH(bool, blocks);
        LineRig rig;
        QVERIFY(rig.line.isValid());
        ScpiInstrument client(rig.transport(usb));
        const auto &device = rig.device;
        client.setTimeout(3000);
        if (blocks) {
            client.setSetupQuery(SimulatedDevice::kSetupQuery);
            client.setRestoreCommand(SimulatedDevice::kSetupCommand);
        }
        QCOMPARE(client.Model(), SimulatedDevice::kDefaultModel);
        QCOMPARE(client.Version(), SimulatedDevice::kDefaultVersion);

        // Every byte value travels in the setup block, line ends included.
        QByteArray waveform(64 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < waveform.size(); ++i)
            waveform[i] = static_cast<char>(i * 7);
        device->apply(":FREQ 2.4E9\n:OUTP ON\n:ARB:DATA " + Ieee488Block::encode(waveform));
        const QVariant state = client.CaptureState();
        QCOMPARE(variantTypeOf(state), blocks ? VariantType::ByteArray : VariantType::String);
        device->apply(":FREQ 1E6\n:OUTP OFF\n:ARB:DATA #13abc");
        client.RestoreState(state);
        QCOMPARE(device->setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(device->setting(":OUTP"), QStringLiteral("ON"));
        QCOMPARE(device->waveform(), blocks ? waveform : QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestDeviceTransports)
#include "tst_devicetransports.moc"
