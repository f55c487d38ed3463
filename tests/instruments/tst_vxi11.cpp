#include "AutomationAssert.h"
#include "ClientChecks.h"
#include "ServedDevice.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"
#include "instruments/protocols/RpcMessage.h"
#include "instruments/protocols/RpcRecordReader.h"
#include "instruments/protocols/Vxi11Protocol.h"
#include "instruments/protocols/XdrReader.h"
#include "instruments/protocols/XdrWriter.h"
#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/Vxi11Transport.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTest>
#include <QUdpSocket>

using namespace ixo;
using test::errorTextOf;

namespace {

// The VXI-11 simulator on a free loopback portmapper port.
class ServedDevice : public test::ServedDevice<Vxi11Server> {
public:
    explicit ServedDevice(quint32 maxReceiveSize = Vxi11Server::kDefaultMaxReceiveSize,
                          quint32 maxReadChunk = Vxi11Server::kDefaultMaxReceiveSize)
        : test::ServedDevice<Vxi11Server>(std::make_shared<SimulatedDevice>(),
                                          [=](Vxi11Server &server) {
                                              server.setMaxReceiveSize(maxReceiveSize);
                                              server.setMaxReadChunk(maxReadChunk);
                                          }) {}
    std::unique_ptr<ScpiInstrument> client() const {
        auto client = std::make_unique<ScpiInstrument>(
            std::make_unique<Vxi11Transport>(QStringLiteral("127.0.0.1"), QStringLiteral("inst0"),
                                             QStringLiteral("TCPIP::127.0.0.1::INSTR"), port()));
        client->setRestoreCommand(SimulatedDevice::kSetupCommand);
        return client;
    }
};

// A reply to call xid as a server would send it, with results.
QByteArray reply(quint32 xid, QByteArrayView results) {
    return RpcMessage::acceptedReply(xid, RpcMessage::Success, results);
}

QByteArray words(std::initializer_list<quint32> values) {
    XdrWriter writer;
    for (const quint32 value : values)
        writer.writeUInt32(value);
    return writer.take();
}

} // namespace

class TestVxi11 : public QObject {
    Q_OBJECT

private slots:

    // Answers and setups pass whatever the chunk sizes the device takes and gives.
    void chunks_data() {
        QTest::addColumn<quint32>("maxReceiveSize");
        QTest::addColumn<quint32>("maxReadChunk");
        QTest::addColumn<qsizetype>("waveformSize");
        QTest::newRow("one-byte reads, learn string") << 1024u << 1u << qsizetype(0);
        QTest::newRow("5-byte reads, small block")
            << Vxi11Server::kDefaultMaxReceiveSize << 5u << qsizetype(100);
        QTest::newRow("4 KiB chunks, 1 MiB block") << 4096u << 4096u << qsizetype(1024 * 1024 + 3);
    }

    void chunks() {
        QFETCH(quint32, maxReceiveSize);
        QFETCH(quint32, maxReadChunk);
        QFETCH(qsizetype, waveformSize);
        ServedDevice served(maxReceiveSize, maxReadChunk);
        const auto client = served.client();
        const QByteArray waveform = test::everyByte(waveformSize);
        if (waveformSize > 0) {
            client->setSetupQuery(SimulatedDevice::kSetupQuery);
            served.device->apply(":ARB:DATA " + Ieee488Block::encode(waveform));
        }
        served.device->apply(":FREQ 2.4E9");
        const QVariant state = client->CaptureState();
        served.device->apply(":FREQ 1E6\n:ARB:DATA #13abc");
        client->RestoreState(state);
        QCOMPARE(served.device->setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QVERIFY(served.device->waveform() == waveform);
        QCOMPARE(client->CaptureState(), state);
    }

    // Faults asked for over the wire, as a user of the simulator would, in any letter case.
    void faults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("wrong xid") << ":SIMulate:FAULt XID" << VisaStatus::Io << "a reply to call";
        QTest::newRow("oversize") << ":SIMulate:FAULt OVERSIZE" << VisaStatus::Io
                                  << "announces 2147483647 bytes";
        QTest::newRow("stall") << ":sim:faul stall" << VisaStatus::Timeout << "did not answer";
    }

    void faults() {
        QFETCH(QString, fault);
        QFETCH(int, number);
        QFETCH(QString, message);
        ServedDevice served;
        const auto client = served.client();
        constexpr int timeoutMs = 600;
        client->setTimeout(timeoutMs);
        client->setSetupQuery(SimulatedDevice::kSetupQuery);
        served.device->apply(":ARB:DATA " + Ieee488Block::encode(test::everyByte(200 * 1024)));
        const QVariant state = client->CaptureState();
        client->send(fault);
        QElapsedTimer elapsed;
        elapsed.start();
        const test::Failure failure = test::failureOf([&] { client->CaptureState(); });
        QCOMPARE(failure.number, number);
        QVERIFY2(failure.text.contains(message), qPrintable(failure.text));
        QVERIFY2(failure.text.contains(QLatin1String("TCPIP::127.0.0.1::INSTR")),
                 qPrintable(failure.text));
        QVERIFY2(elapsed.elapsed() < timeoutMs + 1500,
                 qPrintable(QString::number(elapsed.elapsed())));
        if (number == VisaStatus::Timeout)
            QVERIFY(served.server().clearCount() >= 1);
        // The next call starts on a fresh link, and the late answer does not answer it.
        QCOMPARE(client->CaptureState(), state);
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
    }

    // Devices behind one portmapper, as on a bench: each name reaches its own device, and a
    // name of none is refused by the device.
    void linksByDeviceName_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("model");
        QTest::newRow("first") << Vxi11Server::deviceName(0) << QStringLiteral("SG-100");
        QTest::newRow("second") << Vxi11Server::deviceName(1) << QStringLiteral("33522B");
        QTest::newRow("any case") << QStringLiteral("INST1") << QStringLiteral("33522B");
        QTest::newRow("none") << QStringLiteral("gpib0,5") << QString();
    }

    void linksByDeviceName() {
        QFETCH(QString, device);
        QFETCH(QString, model);
        test::ServedDevice<Vxi11Server> served(
            std::make_shared<SimulatedDevice>(), [](Vxi11Server &server) {
                server.addDevice(SimulatedDevice::forFamily(QStringLiteral("keysight-33500")));
            });
        ScpiInstrument client(std::make_unique<Vxi11Transport>(
            QStringLiteral("127.0.0.1"), device,
            QStringLiteral("TCPIP::127.0.0.1::%1::INSTR").arg(device), served.port()));
        if (!model.isEmpty()) {
            QCOMPARE(client.Model(), model);
            return;
        }
        const test::Failure failure = test::failureOf([&] { client.Model(); });
        QCOMPARE(failure.number, VisaStatus::ResourceNotFound);
        QVERIFY2(failure.text.contains("refused a link to device gpib0,5: device not accessible "
                                       "(VXI-11 error 3)"),
                 qPrintable(failure.text));
    }

    // Discovery asks by UDP broadcast; the port must be the one TCP clients are given.
    void portmapperAnswersOverUdp() {
        ServedDevice served;
        QUdpSocket udp;
        const QByteArray arguments =
            words({Vxi11Protocol::kCoreProgram, Vxi11Protocol::kCoreVersion,
                   Vxi11Protocol::kProtocolTcp, 0});
        udp.writeDatagram(RpcMessage::call(9, Vxi11Protocol::kPortmapperProgram,
                                           Vxi11Protocol::kPortmapperVersion,
                                           Vxi11Protocol::kPortmapperGetPort, arguments),
                          QHostAddress::LocalHost, served.port());
        QVERIFY(udp.waitForReadyRead(5000));
        const QByteArray answer = udp.receiveDatagram().data();
        XdrReader results = RpcMessage::results(answer, 9, QStringLiteral("portmapper"));
        QCOMPARE(results.readUInt32(), quint32(served.server().port()));
        QVERIFY(served.server().port() != 0);
    }

    // A code the standard leaves open is still named a device error.
    void unknownDeviceError() {
        QCOMPARE(Vxi11Protocol::errorText(99), QStringLiteral("unknown device error"));
    }

    void refusesHostileReplies_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("message");
        const quint32 xid = 77;
        const QByteArray readResults = words({0, 4}) + words({3}) + "abc" + '\0';
        QTest::newRow("good reply") << reply(xid, readResults) << "";
        QTest::newRow("empty") << QByteArray() << "ends after 0 bytes";
        QTest::newRow("reply to another call")
            << reply(xid + 1, readResults) << "with a reply to call 78";
        QTest::newRow("a call") << RpcMessage::call(xid, 1, 1, 1, {}) << "a reply was due";
        QTest::newRow("denied: version") << words({xid, 1, 1, 0, 2, 2}) << "version mismatch";
        QTest::newRow("denied: authentication")
            << words({xid, 1, 1, 1, 1}) << "authentication error";
        QTest::newRow("unknown reply status") << words({xid, 1, 7}) << "reply status 7";
        QTest::newRow("program unavailable")
            << RpcMessage::acceptedReply(xid, RpcMessage::ProgramUnavailable)
            << "does not offer the program";
        QTest::newRow("garbage arguments")
            << RpcMessage::acceptedReply(xid, RpcMessage::GarbageArguments)
            << "could not decode the arguments";
        QTest::newRow("huge verifier")
            << words({xid, 1, 0, 0, 0xFFFFFFFF}) << "announces 4294967295 bytes of data, more than";
        QTest::newRow("read data longer than asked")
            << reply(xid, words({0, 4, 0x7FFFFFF0}) + "abcd") << "more than the limit of 100";
        QTest::newRow("read data longer than the reply")
            << reply(xid, words({0, 4, 64}) + "abcd") << "holds only 4";
        QTest::newRow("read reply cut short") << reply(xid, words({0})) << "ends after";
        QTest::newRow("opaque padding missing")
            << reply(xid, words({0, 4, 3}) + "abc") << "holds only 3";
    }

    // A read reply to call 77 taking at most 100 bytes; message is empty for a good one.
    void refusesHostileReplies() {
        QFETCH(QByteArray, record);
        QFETCH(QString, message);
        Vxi11Protocol::ReadResponse response;
        const test::Failure failure = test::failureOf([&] {
            const XdrReader results = RpcMessage::results(record, 77, QStringLiteral("PEER"));
            response = Vxi11Protocol::parseReadResponse(
                QByteArrayView(record).sliced(record.size() - results.remaining()), 100);
        });
        if (message.isEmpty()) {
            QCOMPARE(failure.number, 0);
            QCOMPARE(response.error, 0);
            QCOMPARE(response.reason, Vxi11Protocol::kReasonEnd);
            QCOMPARE(response.data.toByteArray(), QByteArray("abc"));
            return;
        }
        QVERIFY2(failure.text.contains(message), qPrintable(failure.text));
        QCOMPARE(failure.number, VisaStatus::Io);
    }

    void reassemblesRecords_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<qsizetype>("limit");
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("error");
        QTest::newRow("one fragment")
            << RpcRecordReader::header(3) + "abc" << qsizetype(10) << QByteArray("abc") << "";
        QTest::newRow("two fragments") << words({2}) + "ab" + RpcRecordReader::header(1) + "c"
                                       << qsizetype(10) << QByteArray("abc") << "";
        QTest::newRow("empty fragments")
            << words({0}) + RpcRecordReader::header(0) << qsizetype(10) << QByteArray() << "";
        QTest::newRow("fragment over the limit")
            << RpcRecordReader::header(11) << qsizetype(10) << QByteArray()
            << "announces 11 bytes, more than the limit of 10";
        QTest::newRow("2 GiB fragment")
            << words({0xFFFFFFFF}) << qsizetype(1 << 20) << QByteArray() << "announces 2147483647";
        QTest::newRow("fragments adding up over the limit")
            << words({6}) + "abcdef" + RpcRecordReader::header(5) << qsizetype(10) << QByteArray()
            << "announces 5 bytes";
    }

    void reassemblesRecords() {
        QFETCH(QByteArray, stream);
        QFETCH(qsizetype, limit);
        QFETCH(QString, error);
        // Fed byte by byte, as the slowest network would deliver it.
        RpcRecordReader reader(limit);
        const QString text = errorTextOf([&] {
            for (qsizetype i = 0; i < stream.size() && !reader.isComplete(); ++i)
                QCOMPARE(reader.consume(QByteArrayView(stream).sliced(i, 1)), qsizetype(1));
        });
        if (!error.isEmpty()) {
            QVERIFY2(text.contains(error), qPrintable(text));
            return;
        }
        QCOMPARE(text, QString());
        QVERIFY(reader.isComplete());
        QTEST(reader.takeRecord(), "record");
        QVERIFY(!reader.isComplete());
        // Whole, in one piece, it stops where the record ends.
        RpcRecordReader whole(limit);
        QCOMPARE(whole.consume(stream + "next"), stream.size());
        QTEST(whole.takeRecord(), "record");
    }

    void writesXdr() {
        XdrWriter writer;
        writer.writeUInt32(0x01020304).writeInt32(-2).writeBool(true).writeOpaque("abcde");
        writer.writeString(QStringLiteral("inst0"));
        const QByteArray expected =
            QByteArray::fromHex("01020304fffffffe00000001"
                                "00000005616263646500000000000005696e73743000"
                                "0000");
        QCOMPARE(writer.bytes().toHex(), expected.toHex());
        XdrReader reader(writer.bytes());
        QCOMPARE(reader.readUInt32(), 0x01020304u);
        QCOMPARE(reader.readInt32(), -2);
        QCOMPARE(reader.readBool(), true);
        QCOMPARE(reader.readOpaque(5).toByteArray(), QByteArray("abcde"));
        QCOMPARE(reader.readString(5), QStringLiteral("inst0"));
        QVERIFY(reader.atEnd());
    }
};

QTEST_GUILESS_MAIN(TestVxi11)
#include "tst_vxi11.moc"
