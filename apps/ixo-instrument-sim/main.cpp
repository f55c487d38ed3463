#include "QuitOnSignals.h"
#include "SimulatorCommandLine.h"
#include "instruments/servers/HislipServer.h"
#include "instruments/servers/MdnsResponder.h"
#include "instruments/servers/SimulatedBench.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

int cannotListen(const QString &option, const QHostAddress &address, quint16 port,
                 const QString &why) {
    std::fprintf(stderr, "ixo-instrument-sim: cannot listen on %s port %u (--%s): %s%s\n",
                 qPrintable(address.toString()), port, qPrintable(option), qPrintable(why),
                 port != 0 && port < 1024 && geteuid() != 0
                     ? "; ports below 1024 need root or "
                       "CAP_NET_BIND_SERVICE, or choose another with 0"
                     : "");
    return 1;
}

// The DNS-SD responder for the services served; a warning and none when it cannot listen,
// since another mDNS daemon may hold the port without sharing it.
std::unique_ptr<ixo::MdnsResponder> startMdns(const ixo::SimulatedBench &bench,
                                              const QHostAddress &address, quint16 port) {
    std::unique_ptr<ixo::MdnsResponder> responder = bench.mdnsResponder();
    if (!responder->listen(address, port)) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: warning: no mDNS on %s port %u (--mdns-port): %s\n",
                     qPrintable(address.toString()), port, qPrintable(responder->errorString()));
        return nullptr;
    }
    return responder;
}

void printSingle(const ixo::SimulatedBench &bench, const QString &host) {
    const ixo::SimulatedBench::Instrument &instrument = bench.instruments().front();
    std::printf("ixo-instrument-sim: %s\n", qPrintable(instrument.device->identity()));
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::%u::SOCKET\n", qPrintable(host),
                instrument.socket->port());
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::INSTR (portmapper port %u, core "
                "port %u)\n",
                qPrintable(host), bench.portmapperPort(), bench.vxi11CorePort());
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::hislip0,%u::INSTR\n", qPrintable(host),
                instrument.hislip->port());
}

void printMdns(const ixo::MdnsResponder *mdns) {
    if (mdns)
        std::printf("ixo-instrument-sim: answering mDNS on port %u as %s (%s)\n", mdns->port(),
                    qPrintable(mdns->hostName()),
                    mdns->answersMulticast()
                        ? "multicast and unicast"
                        : qPrintable(QStringLiteral("unicast only: ") + mdns->multicastProblem()));
}

// One line per instrument, last, so that a script has everything once it has read them all:
// role, raw socket, VXI-11 and HiSLIP resources, and *IDN? (which may hold spaces).
void printBench(const ixo::SimulatedBench &bench, const QString &host,
                const ixo::MdnsResponder *mdns) {
    std::printf("ixo-instrument-sim: VXI-11 portmapper port %u, core port %u\n",
                bench.portmapperPort(), bench.vxi11CorePort());
    printMdns(mdns);
    qsizetype width = 0;
    for (const ixo::SimulatedBench::Instrument &instrument : bench.instruments())
        width = std::max(width, instrument.role.size());
    for (const ixo::SimulatedBench::Instrument &instrument : bench.instruments())
        std::printf("ixo-instrument-sim: %s  TCPIP::%s::%u::SOCKET  TCPIP::%s::%s::INSTR  "
                    "TCPIP::%s::hislip0,%u::INSTR  %s\n",
                    qPrintable(instrument.role.leftJustified(width)), qPrintable(host),
                    instrument.socket->port(), qPrintable(host), qPrintable(instrument.vxi11Device),
                    qPrintable(host), instrument.hislip->port(),
                    qPrintable(instrument.device->identity()));
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ixo-instrument-sim"));
    const QuitOnSignals quit({SIGTERM, SIGINT});
    SimulatorCommandLine options;
    options.process(app);
    const std::optional<ixo::SimulatedBench::Ports> ports = options.ports();
    const std::optional<quint16> mdnsPort = options.mdnsPort();
    if (!ports || !mdnsPort)
        return 2;
    const QHostAddress address = options.address();
    if (address.isNull())
        return 2;
    ixo::SimulatedBench bench;
    if (!options.addInstruments(bench))
        return 2;
    if (const auto failure = bench.listen(address, *ports))
        return cannotListen(SimulatorCommandLine::optionOf(failure->server), address, failure->port,
                            failure->reason);

    std::unique_ptr<ixo::MdnsResponder> mdns;
    if (options.answersMdns())
        mdns = startMdns(bench, address, *mdnsPort);
    if (options.asBench()) {
        printBench(bench, address.toString(), mdns.get());
    } else {
        printSingle(bench, address.toString());
        printMdns(mdns.get());
    }
    std::fflush(stdout);
    return QCoreApplication::exec();
}
