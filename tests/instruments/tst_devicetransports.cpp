#include "AutomationAssert.h"
#include "FakeSysfs.h"
#include "PseudoTerminal.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/SerialTransport.h"
#include "instruments/transports/UsbtmcTransport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <sys/stat.h>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;
using test::FakeSysfs;
using test::PseudoTerminal;

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

} // namespace

class TestDeviceTransports : public QObject {
    Q_OBJECT

private slots:
    void usbtmcLookup_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("error");
        const auto lookup = [](const char *name, const char *resource, const char *node,
                               const char *error) {
            QTest::newRow(name) << QString::fromLatin1(resource) << QString::fromLatin1(node)
                                << QString::fromLatin1(error);
        };
        lookup("by serial", "USB::0x1AB1::0x04CE::DS1ZB2::INSTR", "usbtmc3", "");
        lookup("decimal ids, serial in other case", "USB::6833::1230::ds1za1::INSTR", "usbtmc0",
               "");
        lookup("with interface", "USB::0x0957::0x1796::MY44::2::INSTR", "usbtmc1", "");
        lookup("other interface", "USB::0x0957::0x1796::MY44::0::INSTR", "",
               "the USBTMC instruments connected are USB0::0x1AB1::0x04CE::DS1ZA1::0::INSTR");
        lookup("other serial", "USB::0x1AB1::0x04CE::DS1ZC3::INSTR", "",
               "USB0::0x0957::0x1796::MY44::2::INSTR (");
        lookup("other product", "USB::0x1AB1::0x04CF::DS1ZA1::INSTR", "", "is not connected");
        lookup("no serial number", "USB::0x0699::0x0368::C0101::INSTR", "",
               "USB0::0x0699::0x0368::::0::INSTR");
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

    // The line's settings and terminators, one answer in pieces, a quiet line, then the
    // instrument goes away.
    void exchange_data() {
        QTest::addColumn<bool>("usb");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QByteArray>("terminator");
        QTest::addColumn<QByteArray>("received");
        const auto row = [](const char *name, bool usb, const char *options, const char *sent,
                            const char *terminator, const char *received) {
            QTest::newRow(name) << usb << QString::fromLatin1(options) << QByteArray(sent)
                                << QByteArray(terminator) << QByteArray(received);
        };
        row("serial, LF", false, "", "*IDN?\n", "\n", "\n");
        row("serial, CRLF", false, "19200,crlf", "*IDN?\r\n", "\r\n", "\r\n");
        row("serial, CR", false, "CR,8N2,115200", "*IDN?\r", "\r", "\n");
        row("USBTMC", true, "", "*IDN?\n", "\n", "\n");
    }

    void exchange() {
        QFETCH(bool, usb);
        QFETCH(QString, options);
        QFETCH(QByteArray, sent);
        QFETCH(QByteArray, terminator);
        QFETCH(QByteArray, received);
        PseudoTerminal line;
        QVERIFY(line.isValid());
        FakeSysfs tree;
        tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "A1", "00", line.path());
        std::unique_ptr<InstrumentTransport> transport = serial(line.path(), options);
        if (usb)
            transport = usbtmc(QStringLiteral("USB::0x1AB1::0x04CE::A1::INSTR"), tree);
        transport->open(QDeadlineTimer(1000));
        QVERIFY(transport->isOpen());

        if (!usb) {
            // The line settings reach the port (a pseudo-terminal keeps 8 bits without parity).
            termios attributes{};
            QCOMPARE(::tcgetattr(line.terminal(), &attributes), 0);
            const SerialSettings &settings = static_cast<SerialTransport &>(*transport).settings();
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
        }

        transport->write("*IDN?\n", QDeadlineTimer(1000));
        QCOMPARE(line.take(sent.size() + 1, 300), sent);
        line.give("IXO,SG-100,1,2.1.0" + terminator);
        // One answer arrives whole; a small read leaves the rest for the next.
        QTest::qWait(50);
        QCOMPARE(transport->read(4, QDeadlineTimer(1000)), QByteArray("IXO,"));
        QCOMPARE(transport->read(100, QDeadlineTimer(1000)), "SG-100,1,2.1.0" + received);

        // Nothing to read: empty once the deadline passes, not before, not much later.
        QElapsedTimer clock;
        clock.start();
        QVERIFY(transport->read(100, QDeadlineTimer(kShortDeadlineMs)).isEmpty());
        QVERIFY(clock.elapsed() >= kShortDeadlineMs - 5);
        QVERIFY(clock.elapsed() < 5 * kShortDeadlineMs);
        QVERIFY(transport->read(100, QDeadlineTimer(0)).isEmpty());

        line.closeMaster();
        QCOMPARE(errorOf([&] { transport->read(100, QDeadlineTimer(1000)); }),
                 VisaStatus::ConnectionLost);
        QVERIFY(!transport->isOpen());
        QCOMPARE(errorOf([&] { transport->write("*RST\n", QDeadlineTimer(100)); }),
                 VisaStatus::ConnectionLost);
    }
};

QTEST_GUILESS_MAIN(TestDeviceTransports)
#include "tst_devicetransports.moc"
