#include "instruments/simulator/HislipServer.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatorServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ixo-instrument-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves the simulated signal generator as a raw SCPI socket "
        "(TCPIP::host::port::SOCKET): *IDN?, *RST, *CLS, *OPC?, *LRN?, :SYST:SET? and "
        ":SYST:SET <block>, :SYST:ERR?, and a query and a command for each setting. The same "
        "device is served over HiSLIP (TCPIP::host::hislip0,port::INSTR) at the same time."));
    parser.addHelpOption();
    // No --version option of our own: --version sets the instrument's firmware version.
    parser.addOption({QStringLiteral("port"),
                      QStringLiteral("Listen on <port>; 0 picks a free one (default 5025)."),
                      QStringLiteral("port"), QStringLiteral("5025")});
    parser.addOption({QStringLiteral("hislip-port"),
                      QStringLiteral("HiSLIP on <port>; 0 picks a free one (default 4880)."),
                      QStringLiteral("port"), QStringLiteral("4880")});
    parser.addOption({QStringLiteral("bind"),
                      QStringLiteral("Listen on <address> (default 127.0.0.1, this machine only)."),
                      QStringLiteral("address"), QStringLiteral("127.0.0.1")});
    parser.addOption({QStringLiteral("model"),
                      QStringLiteral("The model *IDN? reports (default %1).")
                          .arg(ixo::SimulatedDevice::kDefaultModel),
                      QStringLiteral("model"), ixo::SimulatedDevice::kDefaultModel});
    parser.addOption({QStringLiteral("version"),
                      QStringLiteral("The firmware version *IDN? reports (default %1).")
                          .arg(ixo::SimulatedDevice::kDefaultVersion),
                      QStringLiteral("version"), ixo::SimulatedDevice::kDefaultVersion});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        parser.showHelp(2);

    bool ok = false;
    const uint port = parser.value(QStringLiteral("port")).toUInt(&ok);
    const QHostAddress address(parser.value(QStringLiteral("bind")));
    if (!ok || port > 65535 || address.isNull()) {
        std::fprintf(stderr, "ixo-instrument-sim: invalid --port or --bind\n");
        return 2;
    }
    const uint hislipPort = parser.value(QStringLiteral("hislip-port")).toUInt(&ok);
    if (!ok || hislipPort > 65535) {
        std::fprintf(stderr, "ixo-instrument-sim: invalid --hislip-port\n");
        return 2;
    }
    auto device = std::make_shared<ixo::SimulatedDevice>(parser.value(QStringLiteral("model")),
                                                         parser.value(QStringLiteral("version")));
    ixo::SimulatorServer server(device);
    if (!server.listen(address, static_cast<quint16>(port))) {
        std::fprintf(stderr, "ixo-instrument-sim: cannot listen on %s:%u: %s\n",
                     qPrintable(address.toString()), port, qPrintable(server.errorString()));
        return 1;
    }
    std::printf("ixo-instrument-sim: %s listening on TCPIP::%s::%u::SOCKET\n",
                qPrintable(device->identity()), qPrintable(address.toString()), server.port());
    ixo::HislipServer hislip(device);
    if (!hislip.listen(address, static_cast<quint16>(hislipPort))) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: cannot serve HiSLIP on %s:%u: %s (choose another "
                     "--hislip-port, or 0 for a free one)\n",
                     qPrintable(address.toString()), hislipPort, qPrintable(hislip.errorString()));
        return 1;
    }
    std::printf("ixo-instrument-sim: listening on TCPIP::%s::hislip0,%u::INSTR\n",
                qPrintable(address.toString()), hislip.port());
    std::fflush(stdout);
    return QCoreApplication::exec();
}
