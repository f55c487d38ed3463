#include "PeakMemory.h"
#include "server/TypeLibrary.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char **argv) {
    ixo::TypeLibrary::registerServer();
    if (const int childExit = ixo::bench::runMemoryChild(argc, argv); childExit >= 0)
        return childExit;
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
