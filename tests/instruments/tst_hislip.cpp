#include "AutomationAssert.h"
#include "ClientChecks.h"
#include "ServedDevice.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"
#include "instruments/protocols/HislipMessageReader.h"
#include "instruments/servers/HislipServer.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/HislipTransport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>
#include <future>
#include <thread>

using namespace ixo;

namespace {

// The HiSLIP simulator on a free loopback port.
class ServedHislip : public test::ServedDevice<HislipServer> {
public:
    explicit ServedHislip(quint64 maxMessageSize = HislipServer::kDefaultMaxMessageSize)
        : test::ServedDevice<HislipServer>(
              std::make_shared<SimulatedDevice>(),
              [=](HislipServer &server) { server.setMaxMessageSize(maxMessageSize); }) {}

    // A client on the HiSLIP transport; transport, when given, keeps a view of it.
    std::unique_ptr<ScpiInstrument>
    client(quint64 maxMessageSize = HislipTransport::kDefaultMaxMessageSize,
           HislipTransport **transport = nullptr, const QString &subAddress = "hislip0") const {
        const QString resource =
            QStringLiteral("TCPIP::127.0.0.1::%1,%2::INSTR").arg(subAddress).arg(port());
        auto hislip = std::make_unique<HislipTransport>(QStringLiteral("127.0.0.1"), port(),
                                                        subAddress, resource);
        hislip->setMaxMessageSize(maxMessageSize);
        if (transport)
            *transport = hislip.get();
        auto instrument = std::make_unique<ScpiInstrument>(std::move(hislip));
        instrument->setRestoreCommand(SimulatedDevice::kSetupCommand);
        return instrument;
    }
};

QByteArray message(quint8 type, quint8 control, quint32 parameter, const QByteArray &payload) {
    return HislipMessage::encode(type, control, parameter, payload);
}

using Fault = std::function<void(SimulatedDevice &, HislipServer &)>;

// A fault asked for over the wire, as a user of the simulator would.
Fault byCommand(const char *fault) {
    return [fault](SimulatedDevice &d, HislipServer &) {
        d.process((SimulatedDevice::kFaultCommand + u' ' + fault + u'\n').toUtf8());
    };
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestHislip : public QObject {
    Q_OBJECT

private slots:

    // A setup far larger than either side takes in one message travels as dozens of Data
    // messages each way; a message over the limit would be refused.
    void setupInManyMessages_data() {
        QTest::addColumn<quint64>("serverMax");
        QTest::addColumn<quint64>("clientMax");
        QTest::newRow("4 KiB messages") << quint64(4096) << quint64(4096);
        QTest::newRow("device takes 1000 bytes") << quint64(1000) << quint64(64 * 1024);
    }

    void setupInManyMessages() {
        QFETCH(quint64, serverMax);
        QFETCH(quint64, clientMax);
        ServedHislip served(serverMax);
        HislipTransport *transport = nullptr;
        const auto client = served.client(clientMax, &transport);
        client->setSetupQuery(SimulatedDevice::kSetupQuery);
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
        QCOMPARE(transport->maxSendSize(), serverMax);
        QCOMPARE(transport->serverVersion(), HislipMessage::kProtocolVersion);
        QVERIFY(transport->sessionId() != 0);

        // "HS" in the data must not pass for the start of a message.
        QByteArray waveform = test::everyByte(300 * 1024);
        waveform.replace(1000, 2, "HS");
        served.device->apply(":FREQ 2.4E9\n:ARB:DATA " + Ieee488Block::encode(waveform));
        const QVariant state = client->CaptureState();
        served.device->apply(":FREQ 1E6\n:ARB:DATA #13abc");
        client->RestoreState(state);
        QCOMPARE(served.device->setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(served.device->waveform(), waveform);
        QCOMPARE(client->readErrors(), QStringList());
        QCOMPARE(served.server().deviceClears(), 0);
    }

    // Two clients are two sessions on the one device.
    void sessionsShareTheDevice() {
        ServedHislip served;
        HislipTransport *first = nullptr;
        HislipTransport *second = nullptr;
        const auto a = served.client(HislipTransport::kDefaultMaxMessageSize, &first);
        const auto b = served.client(HislipTransport::kDefaultMaxMessageSize, &second);
        a->send(QStringLiteral(":FREQ 3E9"));
        QCOMPARE(b->query(QStringLiteral(":FREQ?")), QByteArray("3.000000E+09"));
        QVERIFY(first->sessionId() != second->sessionId());
    }

    void faults_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("clears");
        QTest::newRow("restore timeout, device cleared")
            << Fault([](SimulatedDevice &d, HislipServer &) { d.delayNextRestore(3000); })
            << "restore" << VisaStatus::Timeout << "did not answer *OPC? within 200 ms" << 1;
        QTest::newRow("fatal error, too many clients")
            << Fault([](SimulatedDevice &, HislipServer &s) {
                   s.failNextAnswerFatally(HislipMessage::kFatalTooManyClients, "Busy");
               })
            << "model" << VisaStatus::ResourceBusy
            << "fatal error 4 (maximum number of clients exceeded): Busy" << 0;
        QTest::newRow("error") << Fault([](SimulatedDevice &, HislipServer &s) {
            s.failNextAnswer(HislipMessage::kErrorTooLarge, "Setup too long");
        }) << "capture" << VisaStatus::Io
                               << "reported HiSLIP error 4 (message too large)" << 0;
        QTest::newRow("fatal error asked over the wire")
            << byCommand("FATAL") << "capture" << VisaStatus::Io
            << "reported HiSLIP fatal error 0 (unidentified error): Simulated fatal error" << 0;
        QTest::newRow("oversized length asked over the wire")
            << byCommand("OVERSIZE") << "capture" << VisaStatus::Io
            << "announced a DataEnd of 9223372036854775808 bytes, more than the 1048576 bytes "
               "agreed"
            << 0;
        // A stream stopped inside a header cannot be cleared: the connection is dropped.
        QTest::newRow("stall mid-header")
            << Fault([](SimulatedDevice &, HislipServer &s) { s.stallNextAnswerMidHeader(); })
            << "capture" << VisaStatus::Timeout << "within 200 ms" << 0;
    }

    // Each fault gives its error within the timeout (and a quick clear), and the next call
    // reconnects.
    void faults() {
        QFETCH(Fault, fault);
        QFETCH(QString, operation);
        ServedHislip served;
        const auto client = served.client();
        client->setTimeout(200);
        const QVariant state = client->CaptureState();
        fault(*served.device, served.server());
        QElapsedTimer elapsed;
        elapsed.start();
        const test::Failure failure =
            test::failureOf([&] { test::perform(*client, operation, state); });
        QTEST(failure.number, "number");
        QFETCH(QString, text);
        QVERIFY2(failure.text.contains(text), qPrintable(failure.text));
        // The timeout and at most the clear's own budget; well before a late answer's 3 s.
        QVERIFY2(elapsed.elapsed() < 200 + HislipTransport::kClearTimeoutMs + 500,
                 qPrintable(QString::number(elapsed.elapsed())));
        QTEST(served.server().deviceClears(), "clears");
        QCOMPARE(client->Model(), QStringLiteral("SG-100"));
        QCOMPARE(client->CaptureState(), state);
    }

    void refusedSubAddress() {
        ServedHislip served;
        const auto client =
            served.client(HislipTransport::kDefaultMaxMessageSize, nullptr, "hislip7");
        const QString text = test::errorTextOf([&] { client->Model(); });
        QVERIFY2(text.contains("fatal error 3 (invalid initialization sequence): No device at "
                               "sub-address \"hislip7\""),
                 qPrintable(text));
    }

    // A peer that accepts the connection, begins its InitializeResponse and stops.
    void peerStallsMidHeader() {
        std::promise<quint16> listening;
        std::future<quint16> port = listening.get_future();
        std::promise<void> finished;
        std::future<void> done = finished.get_future();
        std::thread peer([&listening, &done] {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost, 0);
            listening.set_value(server.serverPort());
            if (!server.waitForNewConnection(5000))
                return;
            QTcpSocket *socket = server.nextPendingConnection();
            socket->waitForReadyRead(5000);
            socket->write(
                HislipMessage::header(HislipMessage::InitializeResponse, 0, 1, 0).left(9));
            socket->waitForBytesWritten(1000);
            done.wait_for(std::chrono::seconds(5));
        });
        HislipTransport transport(QStringLiteral("127.0.0.1"), port.get(),
                                  QStringLiteral("hislip0"), QStringLiteral("stalling peer"));
        QElapsedTimer elapsed;
        elapsed.start();
        const QString text = test::errorTextOf([&] { transport.open(QDeadlineTimer(300)); });
        finished.set_value();
        peer.join();
        QVERIFY2(text.contains("did not answer the HiSLIP Initialize in time"), qPrintable(text));
        QVERIFY(elapsed.elapsed() < 1500);
        QVERIFY(!transport.isOpen());
    }

    void headerReader_data() {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<quint64>("maxPayload");
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QByteArrayList>("payloads");
        using S = HislipMessageReader::Status;
        const auto codes = [](std::initializer_list<S> list) {
            QList<int> out;
            for (const S s : list)
                out.append(static_cast<int>(s));
            return out;
        };
        const QByteArray hello = message(HislipMessage::DataEnd, 1, 0xFFFFFF00u, "*IDN?\n");
        const QByteArray empty = message(HislipMessage::InitializeResponse, 0, 0x01000001u, "");
        QTest::newRow("one message")
            << QByteArrayList{hello} << quint64(64) << codes({S::Complete, S::Incomplete})
            << QByteArrayList{"*IDN?\n"};
        QTest::newRow("two in one piece, then a header without payload")
            << QByteArrayList{hello + hello + empty} << quint64(64)
            << codes({S::Complete, S::Complete, S::Complete, S::Incomplete})
            << QByteArrayList{"*IDN?\n", "*IDN?\n", ""};
        QByteArrayList bytes;
        for (const char c : hello + empty)
            bytes.append(QByteArray(1, c));
        QTest::newRow("byte by byte")
            << bytes << quint64(64) << codes({S::Complete, S::Complete, S::Incomplete})
            << QByteArrayList{"*IDN?\n", ""};
        QTest::newRow("payload exactly at the limit")
            << QByteArrayList{hello} << quint64(6) << codes({S::Complete, S::Incomplete})
            << QByteArrayList{"*IDN?\n"};
        QTest::newRow("15 bytes of a header") << QByteArrayList{empty.left(15)} << quint64(64)
                                              << codes({S::Incomplete}) << QByteArrayList{};
        QTest::newRow("payload one over the limit")
            << QByteArrayList{hello} << quint64(5) << codes({S::TooLarge, S::TooLarge})
            << QByteArrayList{};
        // Judged on the header alone: nothing of the announced payload is awaited.
        QTest::newRow("length field 2^64-1")
            << QByteArrayList{HislipMessage::header(HislipMessage::Data, 0, 0, ~quint64(0))}
            << (quint64(1) << 20) << codes({S::TooLarge, S::TooLarge}) << QByteArrayList{};
        QTest::newRow("length field 2^63 after a good message")
            << QByteArrayList{hello +
                              HislipMessage::header(HislipMessage::Data, 0, 0, quint64(1) << 63)}
            << (quint64(1) << 20) << codes({S::Complete, S::TooLarge, S::TooLarge})
            << QByteArrayList{"*IDN?\n"};
        QTest::newRow("garbage first byte, refused at once")
            << QByteArrayList{"X"} << quint64(64) << codes({S::BadPrologue, S::BadPrologue})
            << QByteArrayList{};
        QTest::newRow("garbage second byte")
            << QByteArrayList{"Hs"} << quint64(64) << codes({S::BadPrologue, S::BadPrologue})
            << QByteArrayList{};
        QTest::newRow("garbage after a message")
            << QByteArrayList{hello, "GARBAGE", hello} << quint64(64)
            << codes({S::Complete, S::BadPrologue, S::BadPrologue, S::BadPrologue})
            << QByteArrayList{"*IDN?\n"};
    }

    // Pieces arrive one at a time; after each one, messages are taken while any is complete.
    // Statuses lists every status but Incomplete, then the status once all is fed.
    void headerReader() {
        QFETCH(QByteArrayList, pieces);
        QFETCH(quint64, maxPayload);
        QFETCH(QList<int>, statuses);
        QFETCH(QByteArrayList, payloads);
        HislipMessageReader reader(maxPayload);
        QList<int> seen;
        QByteArrayList taken;
        for (const QByteArray &piece : pieces) {
            reader.append(piece);
            for (;;) {
                HislipMessage out;
                const auto status = reader.next(out);
                if (status == HislipMessageReader::Status::Complete)
                    taken.append(out.payload);
                if (status != HislipMessageReader::Status::Incomplete)
                    seen.append(static_cast<int>(status));
                if (status != HislipMessageReader::Status::Complete)
                    break;
            }
        }
        // A refusal is final: later pieces do not bring the stream back.
        HislipMessage out;
        seen.append(static_cast<int>(reader.next(out)));
        QCOMPARE(seen, statuses);
        QCOMPARE(taken, payloads);
        QVERIFY(reader.buffered() <= HislipMessage::kHeaderSize + 64);
    }
};

QTEST_GUILESS_MAIN(TestHislip)
#include "tst_hislip.moc"
