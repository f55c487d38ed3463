#include "../FakeSysfs.h"
#include "../PseudoTerminal.h"
#include "instruments/discovery/InstrumentDiscovery.h"
#include "instruments/servers/HislipServer.h"
#include "instruments/servers/MdnsResponder.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

using namespace ixo;

namespace {

constexpr int kWindowMs = 600;
// The window, *IDN? and some slack: a search that takes longer hangs.
constexpr int kFinishWithinMs = 6000;

// The simulator's servers on free loopback ports, with its mDNS responder, in this thread:
// the searches' *IDN? run on workers while the test waits in the event loop.
struct Simulator {
    std::shared_ptr<SimulatedDevice> device = std::make_shared<SimulatedDevice>();
    SimulatorServer socket{device};
    Vxi11Server vxi11{device};
    HislipServer hislip{device};
    std::unique_ptr<MdnsResponder> mdns;

    bool listen(bool additionalRecords) {
        const QHostAddress loopback(QHostAddress::LocalHost);
        if (!socket.listen(loopback, 0) || !vxi11.listen(loopback, 0) ||
            !hislip.listen(loopback, 0))
            return false;
        const QList<QByteArray> texts{"txtvers=1"};
        mdns = std::make_unique<MdnsResponder>(
            QStringLiteral("SG-100 simulator"), QStringLiteral("ixo-sim"),
            QList<MdnsResponder::Service>{{"_scpi-raw._tcp", socket.port(), texts},
                                          {"_vxi-11._tcp", vxi11.portmapperPort(), texts},
                                          {"_lxi._tcp", vxi11.portmapperPort(), texts},
                                          {"_hislip._tcp", hislip.port(), texts}});
        mdns->setAdditionalRecords(additionalRecords);
        return mdns->listen(loopback, 0);
    }

    QString expand(QString resource) const {
        return resource.replace("<socket>", QString::number(socket.port()))
            .replace("<hislip>", QString::number(hislip.port()));
    }
};

QList<DiscoveredInstrument> discover(const InstrumentDiscovery::Options &options) {
    InstrumentDiscovery discovery;
    QSignalSpy found(&discovery, &InstrumentDiscovery::found);
    QSignalSpy finished(&discovery, &InstrumentDiscovery::finished);
    QSignalSpy progress(&discovery, &InstrumentDiscovery::progress);
    discovery.start(options);
    if (!finished.wait(kFinishWithinMs) || finished.size() != 1)
        return {};
    // Progress runs up to the window, and every instrument reported is in the list.
    if (progress.isEmpty() || progress.last().at(0).toInt() != options.timeoutMs)
        return {};
    QList<DiscoveredInstrument> reported;
    for (const QList<QVariant> &arguments : found)
        reported.append(arguments.at(0).value<DiscoveredInstrument>());
    return reported == discovery.instruments() ? reported : QList<DiscoveredInstrument>{};
}

InstrumentDiscovery::Options only(bool vxi11, bool mdns) {
    InstrumentDiscovery::Options options;
    options.timeoutMs = kWindowMs;
    options.vxi11 = vxi11;
    options.mdns = mdns;
    options.usbtmc = false;
    options.mdnsMulticast = false;
    return options;
}

QStringList resources(const QList<DiscoveredInstrument> &instruments) {
    QStringList list;
    for (const DiscoveredInstrument &instrument : instruments)
        list.append(instrument.resource + u' ' + instrument.mechanism + u' ' +
                    (instrument.identity.isEmpty() ? instrument.problem : instrument.identity));
    list.sort();
    return list;
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<DiscoveredInstrument>(); }

    void findsSimulator_data() {
        QTest::addColumn<bool>("vxi11");
        QTest::addColumn<QString>("broadcast");
        QTest::addColumn<QString>("mdns");
        QTest::addColumn<bool>("askIdentity");
        QTest::addColumn<QStringList>("expected");
        const QString idn = SimulatedDevice().identity();
        const QString vxi11 = "TCPIP::127.0.0.1::INSTR vxi11 " + idn;
        const QString hislip = "TCPIP::127.0.0.1::hislip0,<hislip>::INSTR mdns " + idn;
        const auto find = [](const char *name, bool vxi11, const char *broadcast, const char *mdns,
                             bool askIdentity, const QStringList &expected) {
            QTest::newRow(name) << vxi11 << QString::fromLatin1(broadcast)
                                << QString::fromLatin1(mdns) << askIdentity << expected;
        };
        find("VXI-11 to loopback", true, "127.0.0.1", "", true, {vxi11});
        find("VXI-11 broadcast on loopback", true, "127.255.255.255", "", true, {vxi11});
        // HiSLIP, VXI-11 and the raw socket of one instrument: HiSLIP is kept.
        find("mDNS by unicast", false, "", "unicast", true, {hislip});
        find("mDNS, answers without additional records", false, "", "bare", true, {hislip});
        find("mDNS multicast on lo", false, "", "multicast", true, {hislip});
        find("both mechanisms: one instrument", true, "127.0.0.1", "unicast", true, {hislip});
        // Without *IDN? nothing says the resources are one instrument.
        find("without *IDN?", false, "", "unicast", false,
             {"TCPIP::127.0.0.1::<socket>::SOCKET mdns ", "TCPIP::127.0.0.1::INSTR mdns ",
              "TCPIP::127.0.0.1::hislip0,<hislip>::INSTR mdns "});
    }

    void findsSimulator() {
        QFETCH(bool, vxi11);
        QFETCH(QString, broadcast);
        QFETCH(QString, mdns);
        QFETCH(bool, askIdentity);
        QFETCH(QStringList, expected);
        Simulator simulator;
        QVERIFY(simulator.listen(mdns != "bare"));
        InstrumentDiscovery::Options options = only(vxi11, !mdns.isEmpty());
        options.askIdentity = askIdentity;
        options.portmapperPort = simulator.vxi11.portmapperPort();
        if (!broadcast.isEmpty())
            options.broadcastAddresses = {QHostAddress(broadcast)};
        if (mdns == "multicast") {
            if (!simulator.mdns->answersMulticast())
                QSKIP(qPrintable("no multicast on loopback here: " +
                                 simulator.mdns->multicastProblem()));
            options.mdnsMulticast = true;
            options.multicastInterface = QStringLiteral("lo");
            options.mdnsPort = simulator.mdns->port();
        } else if (!mdns.isEmpty()) {
            options.mdnsTargets = {{QHostAddress(QHostAddress::LocalHost), simulator.mdns->port()}};
        }
        for (QString &line : expected)
            line = simulator.expand(line);
        std::sort(expected.begin(), expected.end());
        QCOMPARE(resources(discover(options)), expected);
    }

    // Each USBTMC device is listed; one that does not answer says why.
    void usbtmc() {
        test::PseudoTerminal line;
        QVERIFY(line.isValid());
        test::PseudoTerminalResponder responder(line, std::make_shared<SimulatedDevice>());
        test::FakeSysfs tree;
        tree.add("usbtmc0", "1ab1", "04ce", "DS1ZA1", "00", line.path());
        tree.add("usbtmc1", "0957", "1796", "MY44", "00", tree.dev() + "/missing");
        InstrumentDiscovery::Options options = only(false, false);
        options.usbtmc = true;
        options.identityTimeoutMs = 500;
        options.sysfsRoot = tree.sysfs();
        options.devRoot = tree.dev();
        const QStringList found = resources(discover(options));
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0], "USB0::0x0957::0x1796::MY44::INSTR usbtmc " + found[0].section(' ', 2));
        QVERIFY2(found[0].contains(tree.dev() + "/usbtmc1"), qPrintable(found[0]));
        QCOMPARE(found[1],
                 "USB0::0x1AB1::0x04CE::DS1ZA1::INSTR usbtmc " + SimulatedDevice().identity());
    }

    // Garbage on both ports is no instrument, and no reason to stop listening.
    void ignoresGarbage() {
        QUdpSocket peer;
        QVERIFY(peer.bind(QHostAddress::LocalHost, 0));
        connect(&peer, &QUdpSocket::readyRead, &peer, [&peer] {
            while (peer.hasPendingDatagrams()) {
                const QNetworkDatagram query = peer.receiveDatagram();
                // A response header announcing records that are not there, and an RPC reply
                // with the query's first word as xid but nothing after it.
                peer.writeDatagram(query.makeReply(QByteArray::fromHex("0000840000010001") +
                                                   query.data().left(4)));
                peer.writeDatagram(query.makeReply(query.data().left(4) + QByteArray(3, '\1')));
            }
        });
        Simulator simulator;
        QVERIFY(simulator.listen(true));
        InstrumentDiscovery::Options options = only(true, true);
        options.portmapperPort = peer.localPort();
        options.broadcastAddresses = {QHostAddress(QHostAddress::LocalHost)};
        options.mdnsTargets = {{QHostAddress(QHostAddress::LocalHost), peer.localPort()},
                               {QHostAddress(QHostAddress::LocalHost), simulator.mdns->port()}};
        const QStringList found = resources(discover(options));
        QCOMPARE(found.size(), 1);
        QVERIFY(found[0].startsWith("TCPIP::127.0.0.1::hislip0,"));
    }

    void stopEndsAtOnce() {
        InstrumentDiscovery discovery;
        QSignalSpy finished(&discovery, &InstrumentDiscovery::finished);
        InstrumentDiscovery::Options options = only(true, true);
        options.timeoutMs = 60000;
        options.broadcastAddresses = {QHostAddress(QHostAddress::LocalHost)};
        options.mdnsTargets = {{QHostAddress(QHostAddress::LocalHost), 9}};
        discovery.start(options);
        QVERIFY(discovery.isRunning());
        QTest::qWait(50);
        discovery.stop();
        QVERIFY(!discovery.isRunning());
        QCOMPARE(finished.size(), 1);
        QVERIFY(discovery.instruments().isEmpty());
    }
};

QTEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
