#include "ServerThread.h"
#include "StateFixtures.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ThreadedInstrument.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/BenchRole.h"
#include "model/BenchStates.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <numeric>
#include <time.h>

namespace ixo::bench {

namespace {

constexpr int kInstruments = 8;
constexpr qsizetype kSetupSize = qsizetype(1) << 20;
const QString kAtOnce = QStringLiteral("At once");
const QString kOneByOne = QStringLiteral("One by one");

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The CPU time of every thread of the process, servers included.
double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Where the simulated instruments' servers run: each on a thread of its own, as separate
// instruments would, or all eight on one.
enum ServerThreads { OneEach = 1, OneForAll = 0 };

// Eight simulated instruments on loopback, each holding a 1 MiB setup, as the roles of one
// document; each role's instrument connected once, on a thread of its own, as a host keeping
// its connections would have it.
struct SimulatedBenchRig {
    explicit SimulatedBenchRig(ServerThreads layout);

    BenchStates::Instruments instruments() const {
        return [this](const BenchRole &role) { return connected.at(role.name()); };
    }

    std::vector<std::unique_ptr<ServerThread>> servers;
    std::vector<std::shared_ptr<SimulatedDevice>> devices;
    StateDocument document{std::make_shared<CIxoResourcesDefault>()};
    std::map<QString, SetupInterfaceRef> connected;
};

SetupInterfaceRef connectTo(const QString &resource) {
    return std::make_shared<ThreadedInstrument>([resource] {
        auto scpi = std::make_shared<ScpiInstrument>(resource);
        scpi->setSetupQuery(SimulatedDevice::kSetupQuery);
        scpi->setRestoreCommand(SimulatedDevice::kSetupCommand);
        return scpi;
    });
}

SimulatedBenchRig::SimulatedBenchRig(ServerThreads layout) {
    for (int i = 0; i < kInstruments; ++i) {
        if (layout == OneEach || servers.empty())
            servers.push_back(std::make_unique<ServerThread>());
        auto device = std::make_shared<SimulatedDevice>();
        device->loadWaveform(StateFixtures::patternedWaveform(kSetupSize, i));
        const QString resource = QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET")
                                     .arg(servers.back()->serveDevice<SimulatorServer>(device));
        const QString role = QStringLiteral("instrument%1").arg(i + 1);
        document.addRole(role, resource, QString());
        connected[role] = connectTo(resource);
        devices.push_back(std::move(device));
    }
}

// Each role captured alone, one after the other: the seconds of each capture. Each instrument
// takes answerMs to answer, as a real one takes time to gather its setup.
std::vector<double> captureOneByOne(SimulatedBenchRig &rig, const QString &name, int answerMs) {
    std::vector<double> seconds;
    for (const BenchRole &listed : rig.document.roles()) {
        BenchRole &role = rig.document.role(listed.name());
        const auto index = static_cast<std::size_t>(&listed - rig.document.roles().data());
        rig.devices[index]->delayNextCapture(answerMs);
        const auto start = Clock::now();
        role.capture(*rig.connected.at(role.name()), name, QString());
        seconds.push_back(secondsSince(start));
    }
    return seconds;
}

double captureAtOnce(SimulatedBenchRig &rig, const QString &name, int answerMs) {
    for (const auto &device : rig.devices)
        device->delayNextCapture(answerMs);
    const auto start = Clock::now();
    BenchStates(rig.document).capture(rig.instruments(), name, QString());
    return secondsSince(start);
}

bool everyRoleHolds(const SimulatedBenchRig &rig, const QString &name) {
    return std::all_of(rig.document.roles().begin(), rig.document.roles().end(),
                       [&name](const BenchRole &role) {
                           const auto state = role.find(name);
                           return state && state->data().toByteArray().size() > kSetupSize;
                       });
}

// A bench of eight instruments captured at once by BenchStates::capture (the benchmark's
// time), and in the same iterations the same eight captured one after another, each alone.
// Arguments: where the servers run (ServerThreads), and how long each instrument takes to
// answer its setup query (0: at once, so that only this machine's work counts). Counters:
// "parallel_over_slowest_single" (goal <= 1.5) is the bench capture's time over the slowest of
// the single captures; "sequential_over_parallel" what capturing at once gains; "busy_cores"
// the CPU time of the whole process during the bench capture over its duration, which nears
// the number of cores when the capture is bound by the CPU rather than held up by a lock, and
// "cpu_ms_per_instrument" that CPU time (client and server) per instrument.
void BM_BenchCapture(benchmark::State &state) {
    SimulatedBenchRig rig(static_cast<ServerThreads>(state.range(0)));
    const int answerMs = static_cast<int>(state.range(1));
    // Connections made and buffers grown before the clock runs.
    captureAtOnce(rig, kAtOnce, 0);
    captureOneByOne(rig, kOneByOne, 0);
    if (!everyRoleHolds(rig, kAtOnce) || !everyRoleHolds(rig, kOneByOne)) {
        state.SkipWithError("a capture did not hold the 1 MiB setup");
        return;
    }
    double parallel = 0;
    double parallelCpu = 0;
    double sequential = 0;
    double slowest = 0;
    for (auto _ : state) {
        BenchStates(rig.document).remove(kAtOnce);
        BenchStates(rig.document).remove(kOneByOne);
        const double cpuBefore = processCpuSeconds();
        const double atOnce = captureAtOnce(rig, kAtOnce, answerMs);
        parallelCpu += processCpuSeconds() - cpuBefore;
        state.SetIterationTime(atOnce);
        parallel += atOnce;
        const std::vector<double> singles = captureOneByOne(rig, kOneByOne, answerMs);
        sequential += std::accumulate(singles.begin(), singles.end(), 0.0);
        slowest += *std::max_element(singles.begin(), singles.end());
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["parallel_ms"] = parallel / runs * 1e3;
    state.counters["sequential_ms"] = sequential / runs * 1e3;
    state.counters["slowest_single_ms"] = slowest / runs * 1e3;
    state.counters["parallel_over_slowest_single"] = parallel / slowest;
    state.counters["sequential_over_parallel"] = sequential / parallel;
    state.counters["busy_cores"] = parallelCpu / parallel;
    state.counters["cpu_ms_per_instrument"] = parallelCpu / runs / kInstruments * 1e3;
    state.SetBytesProcessed(state.iterations() * kInstruments * kSetupSize);
    state.SetLabel(std::string(state.range(0) == OneEach ? "a server thread per instrument"
                                                         : "one server thread for all") +
                   (answerMs > 0 ? ", answers after " + std::to_string(answerMs) + " ms" : ""));
}
BENCHMARK(BM_BenchCapture)
    ->ArgNames({"servers_threaded", "answer_ms"})
    ->Args({OneEach, 0})
    ->Args({OneForAll, 0})
    ->Args({OneEach, 20})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
