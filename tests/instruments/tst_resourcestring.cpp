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
        QTest::newRow("socket") << "TCPIP::10.0.0.5::5025::SOCKET" << 0 << "socket 10.0.0.5 5025"
                                << "TCPIP0::10.0.0.5::5025::SOCKET";
        QTest::newRow("socket: board, case, spaces")
            << " tcpip3::scope-2.lab::1234::socket " << 3 << "socket scope-2.lab 1234"
            << "TCPIP3::scope-2.lab::1234::SOCKET";
        QTest::newRow("socket: IPv6") << "TCPIP::[::1]::5025::SOCKET" << 0 << "socket ::1 5025"
                                      << "TCPIP0::[::1]::5025::SOCKET";
        QTest::newRow("VXI-11: default device")
            << "TCPIP::192.168.1.20::INSTR" << 0 << "vxi11 192.168.1.20 inst0"
            << "TCPIP0::192.168.1.20::inst0::INSTR";
        QTest::newRow("VXI-11: without INSTR") << "tcpip1::meter" << 1 << "vxi11 meter inst0"
                                               << "TCPIP1::meter::inst0::INSTR";
        QTest::newRow("VXI-11: named device")
            << "TCPIP0::10.0.0.5::inst1::instr" << 0 << "vxi11 10.0.0.5 inst1"
            << "TCPIP0::10.0.0.5::inst1::INSTR";
        QTest::newRow("VXI-11: gateway device")
            << "TCPIP::gw::gpib0,5::INSTR" << 0 << "vxi11 gw gpib0,5"
            << "TCPIP0::gw::gpib0,5::INSTR";
        QTest::newRow("VXI-11: IPv6")
            << "TCPIP::[fe80::1%eth0]::INSTR" << 0 << "vxi11 fe80::1%eth0 inst0"
            << "TCPIP0::[fe80::1%eth0]::inst0::INSTR";
        QTest::newRow("HiSLIP: default port")
            << "TCPIP::127.0.0.1::hislip0::INSTR" << 0 << "hislip 127.0.0.1 hislip0 4880"
            << "TCPIP0::127.0.0.1::hislip0::INSTR";
        QTest::newRow("HiSLIP: port, case")
            << "tcpip2::dmm::HISLIP1,4999" << 2 << "hislip dmm HISLIP1 4999"
            << "TCPIP2::dmm::HISLIP1,4999::INSTR";
        QTest::newRow("HiSLIP: port 4880 written")
            << "TCPIP::h::hislip0,4880::INSTR" << 0 << "hislip h hislip0 4880"
            << "TCPIP0::h::hislip0::INSTR";
        QTest::newRow("USB: hex ids")
            << "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR" << 0 << "usb 6833 1230 DS1ZA1234 -1"
            << "USB0::0x1AB1::0x04CE::DS1ZA1234::INSTR";
        QTest::newRow("USB: decimal ids, lower-case hex, interface")
            << "usb1::6833::0x04ce::MY_12-3::2::instr" << 1 << "usb 6833 1230 MY_12-3 2"
            << "USB1::0x1AB1::0x04CE::MY_12-3::2::INSTR";
        QTest::newRow("USB: without INSTR")
            << "USB::0x0957::0x1796::MY123" << 0 << "usb 2391 6038 MY123 -1"
            << "USB0::0x0957::0x1796::MY123::INSTR";
        QTest::newRow("serial: COM numbering")
            << "ASRL1::INSTR" << 1 << "serial /dev/ttyS0 9600,8N1,none,LF"
            << "ASRL1::INSTR";
        QTest::newRow("serial: device file")
            << "asrl/dev/ttyUSB0::instr" << 0 << "serial /dev/ttyUSB0 9600,8N1,none,LF"
            << "ASRL/dev/ttyUSB0::INSTR";
        QTest::newRow("serial: every option")
            << "ASRL/dev/serial/by-id/usb-FTDI_A1-if00,115200,7E2,rtscts,crlf::INSTR" << 0
            << "serial /dev/serial/by-id/usb-FTDI_A1-if00 115200,7E2,rtscts,CRLF"
            << "ASRL/dev/serial/by-id/usb-FTDI_A1-if00,115200,7E2,rtscts,CRLF::INSTR";
        QTest::newRow("serial: device path with colons")
            << "ASRL/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0::INSTR" << 0
            << "serial /dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0 9600,8N1,none,LF"
            << "ASRL/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0::INSTR";
        QTest::newRow("serial: options in any order, defaults dropped")
            << "ASRL3,CR,8N1,xonxoff,9600,5O1.5" << 3 << "serial /dev/ttyS2 9600,5O1.5,xonxoff,CR"
            << "ASRL3,5O1.5,xonxoff,CR::INSTR";
        QTest::newRow("GPIB") << "GPIB0::12::INSTR" << 0 << "gpib 12 -1"
                              << "GPIB0::12::INSTR";
        QTest::newRow("GPIB: secondary") << "gpib1::5::3" << 1 << "gpib 5 3"
                                         << "GPIB1::5::3::INSTR";
        QTest::newRow("VXI") << "vxi0::1::INSTR" << 0 << "other VXI0::1::INSTR"
                             << "VXI0::1::INSTR";
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
    }

    void refused_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << ""
                               << "must start with TCPIP, USB, ASRL or GPIB";
        QTest::newRow("unknown interface") << "COM1"
                                           << "TCPIP::host::port::SOCKET";
        QTest::newRow("keyword run on") << "TCPIPX::h::INSTR"
                                        << "must start with";
        QTest::newRow("board too large") << "TCPIP256::h::INSTR"
                                         << "board number 256";
        QTest::newRow("port 0") << "TCPIP::host::0::SOCKET"
                                << "port 0 is not between";
        QTest::newRow("port too large") << "TCPIP::host::65536::SOCKET"
                                        << "port 65536";
        QTest::newRow("signed port") << "TCPIP::host::+80::SOCKET"
                                     << "port +80";
        QTest::newRow("socket without port") << "TCPIP::host::SOCKET"
                                             << "host::port::SOCKET";
        QTest::newRow("empty host") << "TCPIP::::5025::SOCKET"
                                    << "the host is missing";
        QTest::newRow("no host") << "TCPIP"
                                 << "\"::\" must follow TCPIP";
        QTest::newRow("space in host") << "TCPIP::my host::5025::SOCKET"
                                       << "\"my host\"";
        QTest::newRow("unclosed IPv6") << "TCPIP::[::1::INSTR"
                                       << "closing";
        QTest::newRow("not IPv6") << "TCPIP::[host]::INSTR"
                                  << "not an IPv6 address";
        QTest::newRow("too many TCPIP parts") << "TCPIP::h::a::b::SOCKET"
                                              << "expected TCPIP";
        QTest::newRow("VXI-11 bad device") << "TCPIP::h::in st0::INSTR"
                                           << "LAN device name";
        QTest::newRow("VXI-11 too many") << "TCPIP::h::inst0::x::INSTR"
                                         << "expected TCPIP";
        QTest::newRow("HiSLIP port 0") << "TCPIP::h::hislip0,0::INSTR"
                                       << "port 0";
        QTest::newRow("HiSLIP bad port") << "TCPIP::h::hislip0,x::INSTR"
                                         << "port x";
        QTest::newRow("USB without serial") << "USB::0x0957::0x1796"
                                            << "vendor::product::serial";
        QTest::newRow("USB id too large") << "USB::0x10000::0x1796::A::INSTR"
                                          << "\"0x10000\"";
        QTest::newRow("USB decimal too large") << "USB::65536::1::A::INSTR"
                                               << "\"65536\"";
        QTest::newRow("USB id not a number") << "USB::0xZZ::1::A::INSTR"
                                             << "\"0xZZ\"";
        QTest::newRow("USB bad interface") << "USB::1::2::A::x::INSTR"
                                           << "interface number";
        QTest::newRow("USB too many") << "USB::1::2::A::3::4::INSTR"
                                      << "expected USB";
        QTest::newRow("USB RAW") << "USB::1::2::A::RAW"
                                 << "RAW";
        QTest::newRow("serial port 0") << "ASRL0::INSTR"
                                       << "count from 1";
        QTest::newRow("serial without port") << "ASRL::INSTR"
                                             << "count from 1";
        QTest::newRow("serial relative file") << "ASRLdev/ttyUSB0::INSTR"
                                              << "count from 1";
        QTest::newRow("serial odd file") << "ASRL/dev/tty USB0::INSTR"
                                         << "device file";
        QTest::newRow("serial extra part") << "ASRL1::x::INSTR"
                                           << "expected ASRLn";
        QTest::newRow("serial bad frame") << "ASRL1,9N1::INSTR"
                                          << "\"9N1\"";
        QTest::newRow("serial bad option") << "ASRL1,fast::INSTR"
                                           << "\"fast\"";
        QTest::newRow("serial baud 0") << "ASRL1,0::INSTR"
                                       << "baud rate is between";
        QTest::newRow("serial empty option") << "ASRL1,,8N1::INSTR"
                                             << "empty";
        QTest::newRow("GPIB address 31") << "GPIB::31::INSTR"
                                         << "between 0 and 30";
        QTest::newRow("GPIB without address") << "GPIB0::INSTR"
                                              << "expected GPIB";
    }

    void refused() {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QCOMPARE(errorOf([&] { ResourceString::parse(text); }), VisaStatus::InvalidResourceName);
        const QString message = errorTextOf([&] { ResourceString::parse(text); });
        QVERIFY2(message.contains(reason), qPrintable(message));
        QVERIFY2(message.contains(QLatin1Char('"') + text + QLatin1Char('"')), qPrintable(message));
    }

    void factory_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        const int unsupported = VisaStatus::NotSupported;
        const QString forms = ResourceString::supportedForms();
        QTest::newRow("socket") << "TCPIP::127.0.0.1::5025::SOCKET" << 0 << "";
        QTest::newRow("USBTMC") << "USB::0x1AB1::0x04CE::X::INSTR" << 0 << "";
        QTest::newRow("serial") << "ASRL/dev/ttyUSB0,115200::INSTR" << 0 << "";
        QTest::newRow("VXI-11") << "TCPIP::h::INSTR" << 0 << "";
        QTest::newRow("HiSLIP") << "TCPIP::h::hislip0::INSTR" << 0 << "";
        QTest::newRow("GPIB") << "GPIB0::5::INSTR" << unsupported
                              << "GPIB resources such as GPIB0::5::INSTR are not supported; "
                                 "the supported forms are " +
                                     forms;
        QTest::newRow("PXI") << "PXI0::3-18::INSTR" << unsupported
                             << "PXI resources such as PXI0::3-18::INSTR are not supported";
    }

    void factory() {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const ResourceString resource = ResourceString::parse(text);
        QTEST(errorOf([&] { InstrumentTransport::create(resource); }), "number");
        const QString error = errorTextOf([&] { InstrumentTransport::create(resource); });
        QVERIFY2(message.isEmpty() ? error.isEmpty() : error.contains(message), qPrintable(error));
        if (message.isEmpty())
            QCOMPARE(InstrumentTransport::create(resource)->resourceName(), resource.toString());
    }
};

QTEST_GUILESS_MAIN(TestResourceString)
#include "tst_resourcestring.moc"
