#include "instruments/servers/HislipServer.h"
#include "instruments/servers/MdnsResponder.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QMap>
#include <cstdio>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

// A port option's value, or nothing when it is not a port number.
std::optional<quint16> portOption(const QCommandLineParser &parser, const QString &name) {
    bool ok = false;
    const uint port = parser.value(name).toUInt(&ok);
    if (!ok || port > 65535) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: --%s takes a port number from 0 to 65535, not %s\n",
                     qPrintable(name), qPrintable(parser.value(name)));
        return std::nullopt;
    }
    return static_cast<quint16>(port);
}

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
std::unique_ptr<ixo::MdnsResponder> startMdns(const ixo::SimulatedDevice &device,
                                              const QHostAddress &address, quint16 port,
                                              quint16 socketPort, quint16 portmapperPort,
                                              quint16 hislipPort) {
    const QList<QByteArray> texts{"txtvers=1",
                                  "Manufacturer=" + device.identity().section(u',', 0, 0).toUtf8(),
                                  "Model=" + device.model().toUtf8()};
    // The simulator has no web page: its _lxi service names the portmapper.
    QList<ixo::MdnsResponder::Service> services{
        {QStringLiteral("_scpi-raw._tcp"), socketPort, texts},
        {QStringLiteral("_vxi-11._tcp"), portmapperPort, texts},
        {QStringLiteral("_lxi._tcp"), portmapperPort, texts},
        {QStringLiteral("_hislip._tcp"), hislipPort, texts},
    };
    auto responder = std::make_unique<ixo::MdnsResponder>(
        QStringLiteral("%1 simulator %2").arg(device.model()).arg(socketPort),
        QStringLiteral("ixo-instrument-sim-%1").arg(socketPort), services);
    if (!responder->listen(address, port)) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: warning: no mDNS on %s port %u (--mdns-port): %s\n",
                     qPrintable(address.toString()), port, qPrintable(responder->errorString()));
        return nullptr;
    }
    return responder;
}

QString familyList() {
    QString list;
    for (const QString &name : ixo::SimulatedDevice::familyNames())
        list += QStringLiteral("  %1  %2\n")
                    .arg(name, -22)
                    .arg(ixo::SimulatedDevice::familyDescription(name));
    return list;
}

std::optional<ixo::Ieee488Block::Form> blockForm(const QString &name, bool &ok) {
    using Form = ixo::Ieee488Block::Form;
    static const QMap<QString, Form> forms{{QStringLiteral("definite"), Form::Definite},
                                           {QStringLiteral("indefinite"), Form::Indefinite},
                                           {QStringLiteral("parenthesized"), Form::Parenthesized}};
    ok = name.isEmpty() || forms.contains(name);
    return name.isEmpty() || !ok ? std::nullopt : std::optional(forms.value(name));
}

// The device the options describe; nullptr, having said why, when they describe none.
std::shared_ptr<ixo::SimulatedDevice> makeDevice(const QCommandLineParser &parser) {
    const QString family = parser.value(QStringLiteral("family"));
    auto device = ixo::SimulatedDevice::forFamily(family, parser.value(QStringLiteral("model")),
                                                  parser.value(QStringLiteral("version")));
    if (!device) {
        std::fprintf(stderr, "ixo-instrument-sim: --family takes one of %s, not %s\n",
                     qPrintable(ixo::SimulatedDevice::familyNames().join(QLatin1String(", "))),
                     qPrintable(family));
        return nullptr;
    }
    bool ok = true;
    device->setBlockForm(blockForm(parser.value(QStringLiteral("block-form")), ok));
    if (!ok) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: --block-form takes definite, indefinite or "
                     "parenthesized, not %s\n",
                     qPrintable(parser.value(QStringLiteral("block-form"))));
        return nullptr;
    }
    if (parser.isSet(QStringLiteral("apply-delay-ms"))) {
        const int delay = parser.value(QStringLiteral("apply-delay-ms")).toInt(&ok);
        if (!ok || delay < 0) {
            std::fprintf(stderr,
                         "ixo-instrument-sim: --apply-delay-ms takes milliseconds, not %s\n",
                         qPrintable(parser.value(QStringLiteral("apply-delay-ms"))));
            return nullptr;
        }
        device->setApplyDelay(delay);
    }
    return device;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ixo-instrument-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Serves a simulated instrument, one device shared by every connection, as a raw SCPI "
            "socket (TCPIP::host::port::SOCKET) as a VXI-11 instrument (TCPIP::host::INSTR, "
            "device inst0, with its own portmapper answering GETPORT over TCP and UDP) and over "
            "HiSLIP (TCPIP::host::hislip0,port::INSTR). The default family, ixo, is a signal "
            "generator knowing *IDN?, *RST, *CLS, *OPC?, *LRN?, :SYST:SET? and "
            ":SYST:SET <block>, :SYST:ERR?, and a query and a command for each setting; the other "
            "families speak the setup commands of real instruments.\n\n"
            "Faults for testing clients, on every transport: send the simulator-only command\n"
            "  %1 <name>\n"
            "where name is one of\n"
            "  DROP      the next capture's answer stops halfway and the connection closes\n"
            "  STALL     the next capture's answer never comes (within ten minutes)\n"
            "  GARBAGE   the next answer is replaced by bytes that are no answer\n"
            "  XID       VXI-11: the next read reply carries another call's RPC xid\n"
            "  OVERSIZE  VXI-11: the next read reply announces a 2 GiB record; HiSLIP: the next\n"
            "            answer announces 2^63 bytes\n"
            "  FATAL     HiSLIP: the next answer is a FatalError message\n"
            "Protocol faults wait for a connection of their protocol.\n\n"
            "Families (--family):\n%2")
            .arg(ixo::SimulatedDevice::kFaultCommand, familyList()));
    parser.addHelpOption();
    // No --version option of our own: --version sets the instrument's firmware version.
    parser.addOption({QStringList{QStringLiteral("socket-port"), QStringLiteral("port")},
                      QStringLiteral("Raw SCPI socket on <port>; 0 picks a free one (default "
                                     "5025). --port is the same option."),
                      QStringLiteral("port"), QStringLiteral("5025")});
    parser.addOption({QStringLiteral("vxi11-port"),
                      QStringLiteral("VXI-11 portmapper on <port>, TCP and UDP; 0 picks a free "
                                     "one (default 111, which VISA clients expect and which "
                                     "needs root). The core channel takes any free port."),
                      QStringLiteral("port"), QStringLiteral("111")});
    parser.addOption({QStringLiteral("hislip-port"),
                      QStringLiteral("HiSLIP on <port>; 0 picks a free one (default 4880)."),
                      QStringLiteral("port"), QStringLiteral("4880")});
    parser.addOption({QStringLiteral("mdns-port"),
                      QStringLiteral("Answer multicast DNS (DNS-SD: _scpi-raw, _vxi-11, _lxi and "
                                     "_hislip over TCP) on <port>, shared with other responders; "
                                     "0 picks a free one for unicast questions (default 5353). "
                                     "Failing to listen is only a warning."),
                      QStringLiteral("port"), QStringLiteral("5353")});
    parser.addOption({QStringLiteral("no-mdns"), QStringLiteral("Do not answer multicast DNS.")});
    parser.addOption({QStringLiteral("bind"),
                      QStringLiteral("Listen on <address> (default 127.0.0.1, this machine only)."),
                      QStringLiteral("address"), QStringLiteral("127.0.0.1")});
    parser.addOption({QStringLiteral("family"),
                      QStringLiteral("Simulate an instrument of <name> (default %1; listed "
                                     "above).")
                          .arg(ixo::SimulatedDevice::kDefaultFamily),
                      QStringLiteral("name"), ixo::SimulatedDevice::kDefaultFamily});
    parser.addOption({QStringLiteral("model"),
                      QStringLiteral("The model *IDN? reports (default the family's, %1 for "
                                     "ixo).")
                          .arg(ixo::SimulatedDevice::kDefaultModel),
                      QStringLiteral("model")});
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("The firmware version *IDN? reports (default the "
                                     "family's, %1 for ixo).")
                          .arg(ixo::SimulatedDevice::kDefaultVersion),
                      QStringLiteral("version")});
    parser.addOption({QStringLiteral("apply-delay-ms"),
                      QStringLiteral("Applying a setup keeps the instrument busy for <ms> "
                                     "(default 2000 for rigol-ds1000z, 0 for the others)."),
                      QStringLiteral("ms")});
    parser.addOption({QStringLiteral("block-form"),
                      QStringLiteral("Answer every block as definite (#n...), indefinite "
                                     "(#0... to the newline) or parenthesized (#(n)...) instead "
                                     "of the family's own form."),
                      QStringLiteral("form")});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);

    const std::optional<quint16> socketPort = portOption(parser, QStringLiteral("socket-port"));
    const std::optional<quint16> vxi11Port = portOption(parser, QStringLiteral("vxi11-port"));
    const std::optional<quint16> hislipPort = portOption(parser, QStringLiteral("hislip-port"));
    const std::optional<quint16> mdnsPort = portOption(parser, QStringLiteral("mdns-port"));
    const QHostAddress address(parser.value(QStringLiteral("bind")));
    if (!socketPort || !vxi11Port || !hislipPort || !mdnsPort)
        return 2;
    if (address.isNull()) {
        std::fprintf(stderr, "ixo-instrument-sim: --bind takes an IP address, not %s\n",
                     qPrintable(parser.value(QStringLiteral("bind"))));
        return 2;
    }
    const std::shared_ptr<ixo::SimulatedDevice> device = makeDevice(parser);
    if (!device)
        return 2;
    ixo::SimulatorServer socketServer(device);
    if (!socketServer.listen(address, *socketPort))
        return cannotListen(QStringLiteral("socket-port"), address, *socketPort,
                            socketServer.errorString());
    ixo::Vxi11Server vxi11Server(device);
    if (!vxi11Server.listen(address, *vxi11Port))
        return cannotListen(QStringLiteral("vxi11-port"), address, *vxi11Port,
                            vxi11Server.errorString());
    ixo::HislipServer hislipServer(device);
    if (!hislipServer.listen(address, *hislipPort))
        return cannotListen(QStringLiteral("hislip-port"), address, *hislipPort,
                            hislipServer.errorString());

    std::unique_ptr<ixo::MdnsResponder> mdns;
    if (!parser.isSet(QStringLiteral("no-mdns")))
        mdns = startMdns(*device, address, *mdnsPort, socketServer.port(),
                         vxi11Server.portmapperPort(), hislipServer.port());

    const QString host = address.toString();
    std::printf("ixo-instrument-sim: %s\n", qPrintable(device->identity()));
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::%u::SOCKET\n", qPrintable(host),
                socketServer.port());
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::INSTR (portmapper port %u, core "
                "port %u)\n",
                qPrintable(host), vxi11Server.portmapperPort(), vxi11Server.port());
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::hislip0,%u::INSTR\n", qPrintable(host),
                hislipServer.port());
    if (mdns)
        std::printf("ixo-instrument-sim: answering mDNS on port %u as %s (%s)\n", mdns->port(),
                    qPrintable(mdns->hostName()),
                    mdns->answersMulticast()
                        ? "multicast and unicast"
                        : qPrintable(QStringLiteral("unicast only: ") + mdns->multicastProblem()));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
