#include "SideBySide.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace ixo::bench {

namespace {

using Clock = std::chrono::steady_clock;

double secondsFor(const std::function<void()> &run, long repetitions) {
    const auto start = Clock::now();
    for (long i = 0; i < repetitions; ++i)
        run();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds for one run, from enough runs to rise well above the clock's resolution.
double estimate(const std::function<void()> &run) {
    long repetitions = 1;
    for (;;) {
        const double seconds = secondsFor(run, repetitions);
        if (seconds > 1e-4 || repetitions >= (1L << 20))
            return seconds / static_cast<double>(repetitions);
        repetitions *= 8;
    }
}

} // namespace

void sideBySide(benchmark::State &state, const Side &ours, const std::vector<Baseline> &baselines) {
    ours.run();
    const double oursEstimate = estimate(ours.run);
    std::vector<long> batches;
    for (const Baseline &baseline : baselines) {
        baseline.side.run();
        const double ratio = oursEstimate / estimate(baseline.side.run);
        batches.push_back(baseline.batched ? std::clamp(std::lround(ratio), 1L, 1L << 20) : 1L);
    }

    double oursTotal = 0;
    std::vector<double> baselineTotals(baselines.size(), 0.0);
    for (auto _ : state) {
        const double seconds = secondsFor(ours.run, 1);
        state.SetIterationTime(seconds);
        oursTotal += seconds;
        for (std::size_t i = 0; i < baselines.size(); ++i)
            baselineTotals[i] +=
                secondsFor(baselines[i].side.run, batches[i]) / static_cast<double>(batches[i]);
    }

    const double runs = static_cast<double>(state.iterations());
    const double oursPerUnit = oursTotal / ours.units;
    state.counters["ours_us"] = oursTotal / runs * 1e6;
    for (std::size_t i = 0; i < baselines.size(); ++i) {
        const Baseline &baseline = baselines[i];
        const double perUnit = baselineTotals[i] / baseline.side.units;
        state.counters[baseline.name + "_us"] = baselineTotals[i] / runs * 1e6;
        if (baseline.ratio == Baseline::Ratio::Time)
            state.counters[baseline.name + "_time_ratio"] = oursPerUnit / perUnit;
        else
            state.counters[baseline.name + "_throughput_ratio"] = perUnit / oursPerUnit;
    }
}

} // namespace ixo::bench
