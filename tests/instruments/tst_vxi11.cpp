#include "AutomationAssert.h"
#include "CancelledExchange.h"
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
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <QUdpSocket>

using namespace ixo;
using test::errorOf;
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
    quint16 portmapperPort() const { return port(); }
    quint16 corePort() const { return port() ? server().port() : 0; }
    int clearCount() const { return server().clearCount(); }
    std::unique_ptr<ScpiInstrument> client(const QString &device = QStringLiteral("inst0")) const {
        auto client = std::make_unique<ScpiInstrument>(std::make_unique<Vxi11Transport>(
            QStringLiteral("127.0.0.1"), device, QStringLiteral("TCPIP::127.0.0.1::INSTR"),
            portmapperPort()));
        client->setRestoreCommand(SimulatedDevice::kSetupCommand);
        return client;
    }
};

QByteArray waveformOf(qsizetype size) {
    QByteArray waveform(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        waveform[i] = static_cast<char>(i * 13 + i / 251);
    return waveform;
}

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

enum class Fault { Drop, Stall, Garbage, WrongXid, Oversize, WrongXidByCommand, StallByCommand };

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestVxi11 : public QObject {
    Q_OBJECT

private slots:

    // A cancel from another thread ends an answer the device holds back, long before the
    // timeout; the next call connects anew.
    void cancelEndsAStalledAnswer() {
        ServedDevice served;
        const auto client = served.client();
        client->setTimeout(20000);
        served.device->stallNextCapture();
        const auto outcome = test::cancelWhileWaiting(
            *client, [&] { client->CaptureState(); }, [&] { client->Model(); });
        QCOMPARE(outcome.number, VisaStatus::ConnectionLost);
        QVERIFY2(outcome.elapsedMs < 5000, qPrintable(QString::number(outcome.elapsedMs)));
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
    }
    void identifies_data() {
        QTest::addColumn<quint32>("maxReceiveSize");
        QTest::addColumn<quint32>("maxReadChunk");
        QTest::newRow("large chunks")
            << Vxi11Server::kDefaultMaxReceiveSize << Vxi11Server::kDefaultMaxReceiveSize;
        QTest::newRow("answer in one-byte reads") << 1024u << 1u;
    }

    void identifies() {
        QFETCH(quint32, maxReceiveSize);
        QFETCH(quint32, maxReadChunk);
        ServedDevice served(maxReceiveSize, maxReadChunk);
        QVERIFY(served.portmapperPort() != 0);
        const auto client = served.client();
        QCOMPARE(client->identity().manufacturer, QStringLiteral("IXO"));
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
        QCOMPARE(client->Version(), QStringLiteral("2.1.0"));
        QCOMPARE(client->query(QStringLiteral(":FREQ?")), QByteArray("1.000000E+09"));
    }

    void captureAndRestore_data() {
        QTest::addColumn<bool>("blocks");
        QTest::addColumn<qsizetype>("waveformSize");
        QTest::addColumn<quint32>("maxReceiveSize");
        QTest::addColumn<quint32>("maxReadChunk");
        const quint32 large = Vxi11Server::kDefaultMaxReceiveSize;
        QTest::newRow("learn string") << false << qsizetype(0) << large << large;
        QTest::newRow("learn string, small chunks") << false << qsizetype(0) << 1024u << 7u;
        QTest::newRow("1 MiB block") << true << qsizetype(1024 * 1024) << large << large;
        QTest::newRow("1 MiB block, 4 KiB chunks")
            << true << qsizetype(1024 * 1024 + 3) << 4096u << 4096u;
        QTest::newRow("small block") << true << qsizetype(100) << large << 5u;
    }

    void captureAndRestore() {
        QFETCH(bool, blocks);
        QFETCH(qsizetype, waveformSize);
        QFETCH(quint32, maxReceiveSize);
        QFETCH(quint32, maxReadChunk);
        ServedDevice served(maxReceiveSize, maxReadChunk);
        const auto client = served.client();
        if (blocks)
            client->setSetupQuery(SimulatedDevice::kSetupQuery);
        const QByteArray waveform = waveformOf(waveformSize);
        QByteArray settings = ":FREQ 2.4E9\n:OUTP ON;:TRIG:SOUR BUS\n";
        if (!waveform.isEmpty())
            settings += ":ARB:DATA " + Ieee488Block::encode(waveform);
        served.device->apply(settings);
        const QVariant state = client->CaptureState();
        if (blocks)
            QVERIFY(state.toByteArray().size() > waveformSize);
        served.device->apply(":FREQ 1E6\n:OUTP OFF\n:TRIG:SOUR EXT\n:ARB:DATA #13abc");
        client->RestoreState(state);
        QCOMPARE(served.device->setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(served.device->setting(":OUTP"), QStringLiteral("ON"));
        QCOMPARE(served.device->setting(":TRIG:SOUR"), QStringLiteral("BUS"));
        if (blocks)
            QVERIFY(served.device->waveform() == waveform);
        QCOMPARE(client->CaptureState(), state);
    }

    void faults_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("drop") << Fault::Drop << VisaStatus::ConnectionLost
                              << "closed the connection";
        QTest::newRow("stall") << Fault::Stall << VisaStatus::Timeout << "did not answer";
        QTest::newRow("garbage") << Fault::Garbage << VisaStatus::Io << "not a block";
        QTest::newRow("wrong xid") << Fault::WrongXid << VisaStatus::Io << "a reply to call";
        QTest::newRow("oversize") << Fault::Oversize << VisaStatus::Io
                                  << "announces 2147483647 bytes";
        QTest::newRow("wrong xid by command")
            << Fault::WrongXidByCommand << VisaStatus::Io << "a reply to call";
        QTest::newRow("stall by command")
            << Fault::StallByCommand << VisaStatus::Timeout << "did not answer";
    }

    void faults() {
        QFETCH(Fault, fault);
        QFETCH(int, number);
        QFETCH(QString, message);
        ServedDevice served;
        const auto client = served.client();
        constexpr int timeoutMs = 600;
        client->setTimeout(timeoutMs);
        client->setSetupQuery(SimulatedDevice::kSetupQuery);
        served.device->apply(":ARB:DATA " + Ieee488Block::encode(waveformOf(200 * 1024)));
        const QVariant state = client->CaptureState();
        using Protocol = SimulatedDevice::ProtocolFault;
        switch (fault) {
        case Fault::Drop:
            served.device->dropNextCapture();
            break;
        case Fault::Stall:
            served.device->stallNextCapture();
            break;
        case Fault::Garbage:
            served.device->garbleNextAnswer("?!garbage\n");
            break;
        case Fault::WrongXid:
            served.device->injectProtocolFault(Protocol::WrongXid);
            break;
        case Fault::Oversize:
            served.device->injectProtocolFault(Protocol::Oversize);
            break;
        case Fault::WrongXidByCommand:
            client->send(SimulatedDevice::kFaultCommand + QStringLiteral(" XID"));
            break;
        case Fault::StallByCommand:
            client->send(QStringLiteral(":sim:faul stall"));
            break;
        }
        QElapsedTimer elapsed;
        elapsed.start();
        QString text;
        QCOMPARE(errorOf([&] {
                     try {
                         client->CaptureState();
                     } catch (const AutomationError &error) {
                         text = error.description();
                         throw;
                     }
                 }),
                 number);
        QVERIFY2(text.contains(message), qPrintable(text));
        QVERIFY2(text.contains(QLatin1String("TCPIP::127.0.0.1::INSTR")), qPrintable(text));
        QVERIFY2(elapsed.elapsed() < timeoutMs + 1500,
                 qPrintable(QString::number(elapsed.elapsed())));
        if (number == VisaStatus::Timeout)
            QVERIFY(served.clearCount() >= 1);
        // The next call starts on a fresh link, and the late answer does not answer it.
        QCOMPARE(client->CaptureState(), state);
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
    }

    void refusesTheConnection_data() {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("portmapper");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown device")
            << "gpib0,5" << true << VisaStatus::ResourceNotFound
            << "refused a link to device gpib0,5: device not accessible (VXI-11 error 3)";
        QTest::newRow("no portmapper") << "inst0" << false << VisaStatus::ResourceNotFound
                                       << "cannot be reached: the portmapper on port";
    }

    void refusesTheConnection() {
        QFETCH(QString, device);
        QFETCH(bool, portmapper);
        QFETCH(int, number);
        QFETCH(QString, message);
        ServedDevice served;
        quint16 port = served.portmapperPort();
        if (!portmapper) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            port = closed.serverPort();
        }
        ScpiInstrument client(std::make_unique<Vxi11Transport>(
            QStringLiteral("127.0.0.1"), device, QStringLiteral("TCPIP::127.0.0.1::INSTR"), port));
        client.setTimeout(2000);
        QCOMPARE(errorOf([&] { client.Model(); }), number);
        const QString text = errorTextOf([&] { client.Model(); });
        QVERIFY2(text.contains(message), qPrintable(text));
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
                          QHostAddress::LocalHost, served.portmapperPort());
        QVERIFY(udp.waitForReadyRead(5000));
        const QByteArray answer = udp.receiveDatagram().data();
        XdrReader results = RpcMessage::results(answer, 9, QStringLiteral("portmapper"));
        QCOMPARE(results.readUInt32(), quint32(served.corePort()));
        QVERIFY(served.corePort() != 0);
    }

    void deviceErrorTexts_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("11") << 11 << "device locked by another link";
        QTest::newRow("15") << 15 << "I/O timeout";
        QTest::newRow("17") << 17 << "I/O error";
        QTest::newRow("23") << 23 << "operation aborted";
        QTest::newRow("4") << 4 << "invalid link identifier";
        QTest::newRow("unknown") << 99 << "unknown device error";
    }

    void deviceErrorTexts() {
        QFETCH(int, code);
        QTEST(Vxi11Protocol::errorText(code), "text");
    }

    void refusesHostileReplies_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("message");
        const quint32 xid = 77;
        const QByteArray readResults = words({0, 4}) + words({3}) + "abc" + '\0';
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

    void refusesHostileReplies() {
        QFETCH(QByteArray, record);
        QFETCH(QString, message);
        const QString text = errorTextOf([&] {
            const XdrReader results = RpcMessage::results(record, 77, QStringLiteral("PEER"));
            const QByteArrayView view =
                QByteArrayView(record).sliced(record.size() - results.remaining());
            Vxi11Protocol::parseReadResponse(view, 100);
        });
        QVERIFY2(text.contains(message), qPrintable(text));
        QCOMPARE(errorOf([&] {
                     const XdrReader results = RpcMessage::results(record, 77, {});
                     Vxi11Protocol::parseReadResponse(
                         QByteArrayView(record).sliced(record.size() - results.remaining()), 100);
                 }),
                 VisaStatus::Io);
    }

    void readsAGoodReply() {
        const QByteArray record = reply(77, words({0, 4, 3}) + "abc" + '\0');
        const XdrReader results = RpcMessage::results(record, 77, QStringLiteral("PEER"));
        const Vxi11Protocol::ReadResponse response = Vxi11Protocol::parseReadResponse(
            QByteArrayView(record).sliced(record.size() - results.remaining()), 100);
        QCOMPARE(response.error, 0);
        QCOMPARE(response.reason, Vxi11Protocol::kReasonEnd);
        QCOMPARE(response.data.toByteArray(), QByteArray("abc"));
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
