#include "ServerThread.h"
#include "SideBySide.h"
#include "StateFixtures.h"
#include "instruments/Ieee488Block.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/servers/HislipServer.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/HislipTransport.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace ixo::bench {

namespace {

// Takes a whole message of the given size, then sends it back: the same bytes moved as a
// capture moves them (instrument to host) and then as a restore does (host to instrument),
// with no parsing, checksum or SCPI exchange around them.
std::pair<std::unique_ptr<QObject>, quint16> echoServer(qsizetype messageSize) {
    auto server = std::make_unique<QTcpServer>();
    QTcpServer *raw = server.get();
    QObject::connect(raw, &QTcpServer::newConnection, raw, [raw, messageSize] {
        QTcpSocket *socket = raw->nextPendingConnection();
        auto message = std::make_shared<QByteArray>();
        message->reserve(messageSize);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, message, messageSize] {
            message->append(socket->readAll());
            if (message->size() >= messageSize) {
                socket->write(*message);
                message->clear();
            }
        });
    });
    raw->listen(QHostAddress::LocalHost, 0);
    return {std::move(server), raw->serverPort()};
}

void rawEcho(QTcpSocket &socket, const QByteArray &bytes) {
    socket.write(bytes);
    qsizetype received = 0;
    while (received < bytes.size()) {
        socket.waitForBytesWritten(0);
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(5000))
            throw std::runtime_error("echo server did not answer");
        received += socket.readAll().size();
    }
}

// A 1 MiB waveform captured in the setup block over loopback and restored again (each byte
// crosses the socket twice), against sending the same bytes through a bare socket and back.
void BM_LoopbackCaptureRestore(benchmark::State &state) {
    const qsizetype size = state.range(0);
    const QByteArray waveform = StateFixtures::patternedWaveform(size);
    auto device = std::make_shared<SimulatedDevice>();
    device->apply(":ARB:DATA " + Ieee488Block::encode(waveform));

    ServerThread servers;
    const quint16 simulatorPort = servers.serveDevice<SimulatorServer>(device);
    ScpiInstrument client(QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(simulatorPort));
    client.setSetupQuery(SimulatedDevice::kSetupQuery);
    client.setRestoreCommand(SimulatedDevice::kSetupCommand);
    const qsizetype blockSize = client.CaptureState().toByteArray().size();
    const quint16 echoPort = servers.serve([blockSize] { return echoServer(blockSize); });
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, echoPort);
    if (!socket.waitForConnected(5000)) {
        state.SkipWithError("echo server unreachable");
        return;
    }
    const QByteArray block(blockSize, 'x');

    const auto units = static_cast<double>(2 * size);
    const Side ours{[&] { client.RestoreState(client.CaptureState()); }, units};
    const Side raw{[&] { rawEcho(socket, block); }, units};
    sideBySide(state, ours, {{"raw_socket", raw, Baseline::Ratio::Throughput, false}});
    state.SetBytesProcessed(state.iterations() * 2 * size);
    if (device->waveform() != waveform)
        state.SkipWithError("the waveform did not survive the round trip");
}
BENCHMARK(BM_LoopbackCaptureRestore)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same capture and restore over HiSLIP, against the raw socket client on the same device
// served at the same time: what the message framing and the second channel cost.
void BM_HislipCaptureRestore(benchmark::State &state) {
    const qsizetype size = state.range(0);
    const QByteArray waveform = StateFixtures::patternedWaveform(size);
    auto device = std::make_shared<SimulatedDevice>();
    device->apply(":ARB:DATA " + Ieee488Block::encode(waveform));

    ServerThread servers;
    const quint16 socketPort = servers.serveDevice<SimulatorServer>(device);
    const quint16 hislipPort = servers.serveDevice<HislipServer>(device);
    ScpiInstrument hislip(std::make_unique<HislipTransport>(
        QStringLiteral("127.0.0.1"), hislipPort, QStringLiteral("hislip0"),
        QStringLiteral("TCPIP::127.0.0.1::hislip0,%1::INSTR").arg(hislipPort)));
    ScpiInstrument raw(QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(socketPort));
    for (ScpiInstrument *client : {&hislip, &raw}) {
        client->setSetupQuery(SimulatedDevice::kSetupQuery);
        client->setRestoreCommand(SimulatedDevice::kSetupCommand);
    }

    const auto units = static_cast<double>(2 * size);
    const Side ours{[&] { hislip.RestoreState(hislip.CaptureState()); }, units};
    const Side socket{[&] { raw.RestoreState(raw.CaptureState()); }, units};
    sideBySide(state, ours, {{"raw_socket_client", socket, Baseline::Ratio::Throughput, false}});
    state.SetBytesProcessed(state.iterations() * 2 * size);
    if (device->waveform() != waveform)
        state.SkipWithError("the waveform did not survive the round trip");
}
BENCHMARK(BM_HislipCaptureRestore)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

// A 1 MiB setup captured and restored through a file in the instrument's memory (store, move,
// load, delete: five more round trips each way) against the same setup as a block of one query
// and one command, both served by the same simulator on the same thread.
void BM_FileRouteCaptureRestore(benchmark::State &state) {
    const qsizetype size = state.range(0);
    const QByteArray waveform = StateFixtures::patternedWaveform(size);
    const auto profiles = std::make_shared<const InstrumentProfiles>();
    const auto fileDevice = SimulatedDevice::forFamily(QStringLiteral("rs-znb"));
    const auto blockDevice = SimulatedDevice::forFamily(SimulatedDevice::kDefaultFamily);
    ServerThread servers;
    ScpiInstrument fileRoute(QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET")
                                 .arg(servers.serveDevice<SimulatorServer>(fileDevice)));
    ScpiInstrument blockRoute(QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET")
                                  .arg(servers.serveDevice<SimulatorServer>(blockDevice)));
    fileRoute.useProfiles(profiles);
    blockRoute.setSetupQuery(SimulatedDevice::kSetupQuery);
    blockRoute.setRestoreCommand(SimulatedDevice::kSetupCommand);
    for (const auto &device : {fileDevice, blockDevice})
        device->loadWaveform(waveform);

    const auto units = static_cast<double>(2 * size);
    const Side ours{[&] { fileRoute.RestoreState(fileRoute.CaptureState()); }, units};
    const Side block{[&] { blockRoute.RestoreState(blockRoute.CaptureState()); }, units};
    sideBySide(state, ours, {{"block_route", block, Baseline::Ratio::Throughput, false}});
    state.SetBytesProcessed(state.iterations() * 2 * size);
    if (fileDevice->waveform() != waveform || !fileDevice->files().isEmpty())
        state.SkipWithError("the setup did not survive the file route, or a file was left");
}
BENCHMARK(BM_FileRouteCaptureRestore)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
