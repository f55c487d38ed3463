#include "SideBySide.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/TcpSocketTransport.h"
#include "instruments/transports/Vxi11Transport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <memory>
#include <optional>

namespace ixo::bench {

namespace {

// The simulator program, as clients other than ours reach it: pyvisa-py asks the portmapper on
// port 111, so that is tried first.
class SimulatorProcess {
public:
    explicit SimulatorProcess(quint16 portmapperPort) {
        m_process.setProgram(QStringLiteral(IXO_INSTRUMENT_SIM));
        m_process.setArguments({QStringLiteral("--socket-port"), QStringLiteral("0"),
                                QStringLiteral("--hislip-port"), QStringLiteral("0"),
                                QStringLiteral("--vxi11-port"), QString::number(portmapperPort)});
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start();
        static const QRegularExpression socketLine(QStringLiteral("::(\\d+)::SOCKET"));
        static const QRegularExpression vxi11Line(QStringLiteral("portmapper port (\\d+)"));
        QByteArray output;
        while (m_process.waitForReadyRead(5000)) {
            output += m_process.readAll();
            const auto socket = socketLine.match(QString::fromUtf8(output));
            const auto vxi11 = vxi11Line.match(QString::fromUtf8(output));
            if (socket.hasMatch() && vxi11.hasMatch()) {
                socketPort = static_cast<quint16>(socket.captured(1).toUInt());
                this->portmapperPort = static_cast<quint16>(vxi11.captured(1).toUInt());
                return;
            }
        }
        error = QString::fromUtf8(output + m_process.readAll()).trimmed();
    }
    ~SimulatorProcess() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool started() const { return portmapperPort != 0; }

    quint16 socketPort = 0;
    quint16 portmapperPort = 0;
    QString error;

private:
    QProcess m_process;
};

bool loadWaveform(quint16 port, const QByteArray &waveform) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return false;
    socket.write(":ARB:DATA " + Ieee488Block::encode(waveform) + "\n*OPC?\n");
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(10000))
        answer += socket.readAll();
    return answer.trimmed() == "1";
}

// Seconds per capture + restore cycle of pyvisa-py, from a script timing a few cycles.
std::optional<double> pyvisaCycle(const QString &resource, int cycles) {
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(IXO_PYVISA_SCRIPT), resource, QString::number(cycles)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        return std::nullopt;
    bool ok = false;
    const double seconds = python.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? std::optional(seconds) : std::nullopt;
}

std::unique_ptr<ScpiInstrument> clientOf(std::unique_ptr<InstrumentTransport> transport) {
    auto client = std::make_unique<ScpiInstrument>(std::move(transport));
    client->setSetupQuery(SimulatedDevice::kSetupQuery);
    client->setRestoreCommand(SimulatedDevice::kSetupCommand);
    return client;
}

// Capture + restore of a setup block holding a 1 MiB waveform, all against the one simulator
// program: ours over VXI-11 against ours over the raw socket (side by side in every iteration),
// and pyvisa-py over both, timed by its own script after the loop.
void BM_TransportsCaptureRestore(benchmark::State &state) {
    const qsizetype size = state.range(0);
    QByteArray waveform(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        waveform[i] = static_cast<char>(i * 13);
    auto simulator = std::make_unique<SimulatorProcess>(Vxi11Transport::kPortmapperPort);
    const bool onPort111 = simulator->started();
    if (!onPort111)
        simulator = std::make_unique<SimulatorProcess>(0);
    if (!simulator->started() || !loadWaveform(simulator->socketPort, waveform)) {
        const std::string why = ("simulator did not start: " + simulator->error).toStdString();
        state.SkipWithError(why.c_str());
        return;
    }
    const QString socketResource =
        QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(simulator->socketPort);
    const auto vxi11 = clientOf(std::make_unique<Vxi11Transport>(
        QStringLiteral("127.0.0.1"), QStringLiteral("inst0"),
        QStringLiteral("TCPIP::127.0.0.1::INSTR"), simulator->portmapperPort));
    const auto socket = clientOf(std::make_unique<TcpSocketTransport>(
        QStringLiteral("127.0.0.1"), simulator->socketPort, socketResource));

    const auto units = static_cast<double>(2 * size);
    const Side ours{[&] { vxi11->RestoreState(vxi11->CaptureState()); }, units};
    const Side raw{[&] { socket->RestoreState(socket->CaptureState()); }, units};
    sideBySide(state, ours, {{"raw_socket", raw, Baseline::Ratio::Throughput, false}});
    state.SetBytesProcessed(state.iterations() * 2 * size);
    if (vxi11->CaptureState().toByteArray().size() <= size)
        state.SkipWithError("the waveform did not survive the round trips");

    constexpr int kPyvisaCycles = 5;
    const double oursUs = state.counters["ours_us"];
    const double rawUs = state.counters["raw_socket_us"];
    if (const auto seconds = pyvisaCycle(socketResource, kPyvisaCycles)) {
        state.counters["pyvisa_socket_us"] = *seconds * 1e6;
        state.counters["raw_vs_pyvisa_socket_throughput_ratio"] = *seconds * 1e6 / rawUs;
    }
    std::optional<double> seconds;
    if (onPort111)
        seconds = pyvisaCycle(QStringLiteral("TCPIP::127.0.0.1::INSTR"), kPyvisaCycles);
    if (seconds) {
        state.counters["pyvisa_vxi11_us"] = *seconds * 1e6;
        state.counters["vxi11_vs_pyvisa_vxi11_throughput_ratio"] = *seconds * 1e6 / oursUs;
    } else {
        state.SetLabel("pyvisa-py over VXI-11 not measured: port 111 could not be bound");
    }
}
BENCHMARK(BM_TransportsCaptureRestore)
    ->Arg(1 << 20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
