#pragma once

#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

namespace ixo::bench {

// One way of doing the work; units are what one run handles (bytes, states), so that sides
// of different sizes compare per unit.
struct Side {
    std::function<void()> run;
    double units = 1;
};

struct Baseline {
    enum class Ratio { Time, Throughput };

    std::string name;
    Side side;
    // Time: ours per unit / baseline per unit (lower is better); Throughput: the inverse.
    Ratio ratio = Ratio::Time;
    // Off where a batch would keep its own data in the cache for its next run.
    bool batched = true;
};

// Runs ours and then each baseline inside every iteration, so that both see the same load on a
// shared machine, and reports ours as the benchmark's (manual) time. Counters per baseline:
// "<name>_us" its time per run (beside "ours_us") and "<name>_time_ratio" or
// "<name>_throughput_ratio". Baselines much faster than ours run in batches of about ours'
// duration, so that the clock's own cost does not count. Register with UseManualTime().
void sideBySide(benchmark::State &state, const Side &ours, const std::vector<Baseline> &baselines);

} // namespace ixo::bench
