#include "PeakMemory.h"
#include "StateFixtures.h"
#include "automation/ObjectRef.h"
#include "automation/PropertyBag.h"
#include "support/HostDocument.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace ixo::bench {

namespace {

constexpr int kDataSize = 1 << 10;
const QString kChildFlag = QStringLiteral("--memory-child");
constexpr double kMiB = 1024.0 * 1024.0;

// A line of /proc/self/status such as "VmHWM:  123 kB", in bytes.
double statusBytes(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').front().toDouble() * 1024;
    }
    return -1;
}

// Opens the document and saves it again, as a host does, keeping the list.
int openAndSaveOurs(const QString &fileName, double &loadPeak) {
    std::shared_ptr<StateInfo> list;
    QByteArray controlContents;
    {
        const PropertyBag document = HostDocument::load(fileName);
        list = std::dynamic_pointer_cast<StateInfo>(
            document.ReadProperty(HostDocument::kStateListKey).value<ObjectRef>());
        controlContents = document.ReadProperty(HostDocument::kControlKey).toByteArray();
    }
    loadPeak = statusBytes("VmHWM");
    PropertyBag document;
    document.WriteProperty(HostDocument::kControlKey, controlContents);
    document.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(list));
    HostDocument::save(document, fileName + QStringLiteral(".saved"));
    return list->Items()->Count();
}

int openAndSaveStream(const QString &fileName, double &loadPeak) {
    std::shared_ptr<StateInfo> list;
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        list = StateFixtures::unstreamList(file.readAll());
    }
    loadPeak = statusBytes("VmHWM");
    QSaveFile file(fileName + QStringLiteral(".saved"));
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    file.write(StateFixtures::streamList(*list));
    file.commit();
    return list->Items()->Count();
}

// Only the list in memory, as the floor any document format starts from.
int buildListOnly(double &loadPeak) {
    const auto list = StateFixtures::makeList(StateInfo::kMaxStates, kDataSize);
    loadPeak = statusBytes("VmHWM");
    return list->Items()->Count();
}

struct ChildResult {
    double idleBytes = -1;
    double loadPeakBytes = -1;
    double peakBytes = -1;
    int states = -1;
};

ChildResult runChild(const QString &kind, const QString &fileName) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {kChildFlag + QLatin1Char('=') + kind, fileName});
    ChildResult result;
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return result;
    const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
    if (fields.size() == 4) {
        result.idleBytes = fields[0].toDouble();
        result.loadPeakBytes = fields[1].toDouble();
        result.peakBytes = fields[2].toDouble();
        result.states = fields[3].toInt();
    }
    return result;
}

// A document of the most states a list holds, each with 1 KiB data, opened and saved in a fresh
// process; the baseline is the same list in a QDataStream file. Sizes in MiB; the goal is a
// high-water mark of at most twice the payload plus 20 MB, over the whole process; "load_peak"
// is the mark once the document is open.
void BM_PeakMemory(benchmark::State &state) {
    QTemporaryDir directory;
    const QString ours = directory.filePath(QStringLiteral("states.ixs"));
    const QString stream = directory.filePath(QStringLiteral("states.qds"));
    {
        const auto list = StateFixtures::makeList(StateInfo::kMaxStates, kDataSize);
        PropertyBag document;
        document.WriteProperty(HostDocument::kControlKey, PropertyBag().Contents());
        document.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(list));
        HostDocument::save(document, ours);
        QFile file(stream);
        if (!file.open(QIODevice::WriteOnly) || file.write(StateFixtures::streamList(*list)) < 0) {
            state.SkipWithError("cannot write the baseline document");
            return;
        }
    }
    ChildResult oursResult, streamResult, listResult;
    for (auto _ : state) {
        oursResult = runChild(QStringLiteral("ixo"), ours);
        streamResult = runChild(QStringLiteral("qdatastream"), stream);
        listResult = runChild(QStringLiteral("list"), stream);
    }
    if (oursResult.states != StateInfo::kMaxStates ||
        streamResult.states != StateInfo::kMaxStates) {
        state.SkipWithError("a child run failed");
        return;
    }
    const double payload = double(StateInfo::kMaxStates) * kDataSize;
    const double limit = 2 * payload + 20e6;
    state.counters["payload_MiB"] = payload / kMiB;
    state.counters["idle_MiB"] = oursResult.idleBytes / kMiB;
    state.counters["load_peak_MiB"] = oursResult.loadPeakBytes / kMiB;
    state.counters["peak_MiB"] = oursResult.peakBytes / kMiB;
    state.counters["limit_MiB"] = limit / kMiB;
    state.counters["peak_vs_limit"] = oursResult.peakBytes / limit;
    state.counters["file_MiB"] = static_cast<double>(QFile(ours).size()) / kMiB;
    state.counters["list_only_peak_MiB"] = listResult.peakBytes / kMiB;
    state.counters["qdatastream_load_peak_MiB"] = streamResult.loadPeakBytes / kMiB;
    state.counters["qdatastream_peak_MiB"] = streamResult.peakBytes / kMiB;
    state.counters["qdatastream_ratio"] = oursResult.peakBytes / streamResult.peakBytes;
}
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int runMemoryChild(int argc, char **argv) {
    const QString prefix = kChildFlag + QLatin1Char('=');
    if (argc != 3 || !QString::fromLocal8Bit(argv[1]).startsWith(prefix))
        return -1;
    const QString kind = QString::fromLocal8Bit(argv[1]).mid(prefix.size());
    const QString fileName = QString::fromLocal8Bit(argv[2]);
    const double idle = statusBytes("VmRSS");
    double loadPeak = -1;
    const int states = kind == QLatin1String("ixo") ? openAndSaveOurs(fileName, loadPeak)
                       : kind == QLatin1String("qdatastream")
                           ? openAndSaveStream(fileName, loadPeak)
                           : buildListOnly(loadPeak);
    std::printf("%.0f %.0f %.0f %d\n", idle, loadPeak, statusBytes("VmHWM"), states);
    return states < 0 ? 1 : 0;
}

} // namespace ixo::bench
