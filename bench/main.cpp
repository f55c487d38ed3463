#include "PeakMemory.h"
#include "server/TypeLibrary.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <malloc.h>

int main(int argc, char **argv) {
    ixo::TypeLibrary::registerServer();
    if (const int childExit = ixo::bench::runMemoryChild(argc, argv); childExit >= 0)
        return childExit;
    // glibc moves its mmap and trim thresholds with what was freed before, so whether a large
    // buffer costs fresh page faults would depend on the order the benchmarks ran in. Fixed
    // thresholds give every side the same reused memory. (The memory child above keeps the
    // defaults: its high-water mark is what a host would see.)
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // The control needs an application but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
