#include "AutomationAssert.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/InstrumentTransport.h"

#include <QTest>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

// Every field a transport is built from, in one line that a failed comparison shows whole.
QString fieldsOf(const ResourceString &r) {
    using I = ResourceString::Interface;
    switch (r.interface) {
    case I::TcpipSocket:
        return QStringLiteral("socket %1 %2").arg(r.host).arg(r.port);
    case I::TcpipInstr:
        return QStringLiteral("vxi11 %1 %2").arg(r.host, r.deviceName);
    case I::TcpipHislip:
        return QStringLiteral("hislip %1 %2 %3").arg(r.host, r.deviceName).arg(r.port);
    case I::Usb:
        return QStringLiteral("usb %1 %2 %3 %4")
            .arg(r.usbVendor)
            .arg(r.usbProduct)
            .arg(r.usbSerial)
            .arg(r.usbInterface);
    case I::Serial:
        return QStringLiteral("serial %1 %2").arg(r.serialDevice, r.serial.toString());
    case I::Gpib:
        return QStringLiteral("gpib %1 %2").arg(r.gpibPrimary).arg(r.gpibSecondary);
    case I::Other:
        return QStringLiteral("other ") + r.other;
    }
    return QString();
}

} // namespace

class TestResourceString : public QObject {
    Q_OBJECT

private slots:
    void accepted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("board");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("canonical");
        const auto accept = [](const char *name, const char *text, int board, const char *fields,
                               const char *canonical) {
            QTest::newRow(name) << QString::fromLatin1(text) << board << QString::fromLatin1(fields)
                                << QString::fromLatin1(canonical);
        };
        accept("socket", "TCPIP::10.0.0.5::5025::SOCKET", 0, "socket 10.0.0.5 5025",
               "TCPIP0::10.0.0.5::5025::SOCKET");
        accept("socket: board, case, spaces", " tcpip3::scope-2.lab::1234::socket ", 3,
               "socket scope-2.lab 1234", "TCPIP3::scope-2.lab::1234::SOCKET");
        accept("socket: IPv6", "TCPIP::[::1]::5025::SOCKET", 0, "socket ::1 5025",
               "TCPIP0::[::1]::5025::SOCKET");
        accept("VXI-11: default device", "TCPIP::192.168.1.20::INSTR", 0,
               "vxi11 192.168.1.20 inst0", "TCPIP0::192.168.1.20::inst0::INSTR");
        accept("VXI-11: without INSTR", "tcpip1::meter", 1, "vxi11 meter inst0",
               "TCPIP1::meter::inst0::INSTR");
        accept("VXI-11: named device", "TCPIP0::10.0.0.5::inst1::instr", 0, "vxi11 10.0.0.5 inst1",
               "TCPIP0::10.0.0.5::inst1::INSTR");
        accept("VXI-11: gateway device", "TCPIP::gw::gpib0,5::INSTR", 0, "vxi11 gw gpib0,5",
               "TCPIP0::gw::gpib0,5::INSTR");
        accept("VXI-11: IPv6", "TCPIP::[fe80::1%eth0]::INSTR", 0, "vxi11 fe80::1%eth0 inst0",
               "TCPIP0::[fe80::1%eth0]::inst0::INSTR");
        accept("HiSLIP: default port", "TCPIP::127.0.0.1::hislip0::INSTR", 0,
               "hislip 127.0.0.1 hislip0 4880", "TCPIP0::127.0.0.1::hislip0::INSTR");
        accept("HiSLIP: port, case", "tcpip2::dmm::HISLIP1,4999", 2, "hislip dmm HISLIP1 4999",
               "TCPIP2::dmm::HISLIP1,4999::INSTR");
        accept("HiSLIP: port 4880 written", "TCPIP::h::hislip0,4880::INSTR", 0,
               "hislip h hislip0 4880", "TCPIP0::h::hislip0::INSTR");
        accept("USB: hex ids", "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR", 0,
               "usb 6833 1230 DS1ZA1234 -1", "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR");
        accept("USB: decimal ids, lower-case hex, interface",
               "usb1::6833::0x04ce::MY_12-3::2::instr", 1, "usb 6833 1230 MY_12-3 2",
               "USB1::0x1AB1::0x04CE::MY_12-3::2::INSTR");
        accept("USB: without INSTR", "USB::0x0957::0x1796::MY123", 0, "usb 2391 6038 MY123 -1",
               "USB0::0x0957::0x1796::MY123::INSTR");
        accept("serial: COM numbering", "ASRL1::INSTR", 1, "serial /dev/ttyS0 9600,8N1,none,LF",
               "ASRL1::INSTR");
        accept("serial: device file", "asrl/dev/ttyUSB0::instr", 0,
               "serial /dev/ttyUSB0 9600,8N1,none,LF", "ASRL/dev/ttyUSB0::INSTR");
        accept("serial: every option",
               "ASRL/dev/serial/by-id/usb-FTDI_A1-if00,115200,7E2,rtscts,crlf::INSTR", 0,
               "serial /dev/serial/by-id/usb-FTDI_A1-if00 115200,7E2,rtscts,CRLF",
               "ASRL/dev/serial/by-id/usb-FTDI_A1-if00,115200,7E2,rtscts,CRLF::INSTR");
        accept("serial: device path with colons",
               "ASRL/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0::INSTR", 0,
               "serial /dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0 9600,8N1,none,LF",
               "ASRL/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0::INSTR");
        accept("serial: options in any order, defaults dropped", "ASRL3,CR,8N1,xonxoff,9600,5O1.5",
               3, "serial /dev/ttyS2 9600,5O1.5,xonxoff,CR", "ASRL3,5O1.5,xonxoff,CR::INSTR");
        accept("GPIB", "GPIB0::12::INSTR", 0, "gpib 12 -1", "GPIB0::12::INSTR");
        accept("GPIB: secondary", "gpib1::5::3", 1, "gpib 5 3", "GPIB1::5::3::INSTR");
        accept("VXI", "vxi0::1::INSTR", 0, "other VXI0::1::INSTR", "VXI0::1::INSTR");
    }

    void accepted() {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        const ResourceString resource = ResourceString::parse(text);
        QTEST(resource.board, "board");
        QTEST(fieldsOf(resource), "fields");
        QCOMPARE(resource.toString(), canonical);
        // The canonical spelling names the same resource.
        QCOMPARE(fieldsOf(ResourceString::parse(canonical)), fieldsOf(resource));
        QCOMPARE(ResourceString::parse(canonical).toString(), canonical);
        // The transport made from it answers to the canonical name.
        if (resource.interface != ResourceString::Interface::Gpib &&
            resource.interface != ResourceString::Interface::Other)
            QCOMPARE(InstrumentTransport::create(resource)->resourceName(), canonical);
    }

    void refused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        const auto refuse = [](const char *name, const char *text, const char *reason) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(reason);
        };
        refuse("empty", "", "must start with TCPIP, USB, ASRL or GPIB");
        refuse("unknown interface", "COM1", "TCPIP::host::port::SOCKET");
        refuse("keyword run on", "TCPIPX::h::INSTR", "must start with");
        refuse("board too large", "TCPIP256::h::INSTR", "board number 256");
        refuse("port 0", "TCPIP::host::0::SOCKET", "port 0 is not between");
        refuse("port too large", "TCPIP::host::65536::SOCKET", "port 65536");
        refuse("signed port", "TCPIP::host::+80::SOCKET", "port +80");
        refuse("socket without port", "TCPIP::host::SOCKET", "host::port::SOCKET");
        refuse("empty host", "TCPIP::::5025::SOCKET", "the host is missing");
        refuse("no host", "TCPIP", "\"::\" must follow TCPIP");
        refuse("space in host", "TCPIP::my host::5025::SOCKET", "\"my host\"");
        refuse("unclosed IPv6", "TCPIP::[::1::INSTR", "closing");
        refuse("not IPv6", "TCPIP::[host]::INSTR", "not an IPv6 address");
        refuse("too many TCPIP parts", "TCPIP::h::a::b::SOCKET", "expected TCPIP");
        refuse("VXI-11 bad device", "TCPIP::h::in st0::INSTR", "LAN device name");
        refuse("VXI-11 too many", "TCPIP::h::inst0::x::INSTR", "expected TCPIP");
        refuse("HiSLIP port 0", "TCPIP::h::hislip0,0::INSTR", "port 0");
        refuse("HiSLIP bad port", "TCPIP::h::hislip0,x::INSTR", "port x");
        refuse("USB without serial", "USB::0x0957::0x1796", "vendor::product::serial");
        refuse("USB id too large", "USB::0x10000::0x1796::A::INSTR", "\"0x10000\"");
        refuse("USB decimal too large", "USB::65536::1::A::INSTR", "\"65536\"");
        refuse("USB id not a number", "USB::0xZZ::1::A::INSTR", "\"0xZZ\"");
        refuse("USB bad interface", "USB::1::2::A::x::INSTR", "interface number");
        refuse("USB too many", "USB::1::2::A::3::4::INSTR", "expected USB");
        refuse("USB RAW", "USB::1::2::A::RAW", "RAW");
        refuse("serial port 0", "ASRL0::INSTR", "count from 1");
        refuse("serial without port", "ASRL::INSTR", "count from 1");
        refuse("serial relative file", "ASRLdev/ttyUSB0::INSTR", "count from 1");
        refuse("serial odd file", "ASRL/dev/tty USB0::INSTR", "device file");
        refuse("serial extra part", "ASRL1::x::INSTR", "expected ASRLn");
        refuse("serial bad frame", "ASRL1,9N1::INSTR", "\"9N1\"");
        refuse("serial bad option", "ASRL1,fast::INSTR", "\"fast\"");
        refuse("serial baud 0", "ASRL1,0::INSTR", "baud rate is between");
        refuse("serial empty option", "ASRL1,,8N1::INSTR", "empty");
        refuse("GPIB address 31", "GPIB::31::INSTR", "between 0 and 30");
        refuse("GPIB without address", "GPIB0::INSTR", "expected GPIB");
    }

    void refused() {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QCOMPARE(errorOf([&] { ResourceString::parse(text); }), VisaStatus::InvalidResourceName);
        const QString message = errorTextOf([&] { ResourceString::parse(text); });
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QLatin1Char('"') + text + QLatin1Char('"')), qPrintable(message));
    }

    // Interfaces without a transport are refused when one is made, naming the supported forms.
    void unsupported_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("GPIB") << "GPIB0::5::INSTR"
                              << "GPIB resources such as GPIB0::5::INSTR are not supported; "
                                 "the supported forms are " +
                                     ResourceString::supportedForms();
        QTest::newRow("PXI") << "PXI0::3-18::INSTR"
                             << "PXI resources such as PXI0::3-18::INSTR are not supported";
    }

    void unsupported() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const ResourceString resource = ResourceString::parse(text);
        QCOMPARE(errorOf([&] { InstrumentTransport::create(resource); }), VisaStatus::NotSupported);
        const QString error = errorTextOf([&] { InstrumentTransport::create(resource); });
        QVERIFY2(error.contains(message), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestResourceString)
#include "tst_resourcestring.moc"
