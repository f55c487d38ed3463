#include "SoakRun.h"
#include "automation/AutomationError.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using namespace ixo;
using namespace ixo::soak;

namespace {

// The sanitizer keeps freed memory in quarantine, so resident memory grows by design.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryJudged = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryJudged = false;
#else
constexpr bool kMemoryJudged = true;
#endif
#else
constexpr bool kMemoryJudged = true;
#endif

[[noreturn]] void usage(const QString &why) {
    QTextStream(stderr) << "ixo-soak: " << why << Qt::endl;
    std::exit(2);
}

template <typename Number>
Number number(const QCommandLineParser &parser, const QString &name, Number low, Number high) {
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok || value < double(low) || value > double(high))
        usage(QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(low).arg(high));
    return static_cast<Number>(value);
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QStringList names;
    for (const TransportEntry &entry : transports())
        names.append(entry.name);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Captures and restores the simulated instrument's setup over and over, "
                       "with random faults, and checks each restore and the memory use."));
    parser.addHelpOption();
    const SoakOptions defaults;
    parser.addOptions({
        {QStringLiteral("cycles"), QStringLiteral("Cycles per transport."), QStringLiteral("N"),
         QString::number(defaults.cycles)},
        {QStringLiteral("transport"),
         QStringLiteral("One of %1; repeatable; all by default.").arg(names.join(u", ")),
         QStringLiteral("name")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random changes and faults."),
         QStringLiteral("N"), QString::number(defaults.seed)},
        {QStringLiteral("fault-rate"), QStringLiteral("Probability of a fault per cycle."),
         QStringLiteral("P"), QString::number(defaults.faultRate)},
        {QStringLiteral("timeout"), QStringLiteral("The client's timeout."), QStringLiteral("ms"),
         QString::number(defaults.timeoutMs)},
        {QStringLiteral("max-growth"),
         QStringLiteral("Resident memory growth allowed after the warm-up."), QStringLiteral("KiB"),
         QString::number(defaults.maxGrowthKiB)},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        usage(QStringLiteral("unexpected argument ") + parser.positionalArguments().front());

    SoakOptions options;
    options.cycles = number(parser, QStringLiteral("cycles"), 1, 100000000);
    options.seed = number<quint64>(parser, QStringLiteral("seed"), 0, 1ull << 52);
    options.faultRate = number(parser, QStringLiteral("fault-rate"), 0.0, 1.0);
    options.timeoutMs = number(parser, QStringLiteral("timeout"), 10, 600000);
    options.maxGrowthKiB = number<qint64>(parser, QStringLiteral("max-growth"), 0, 1ll << 40);
    QStringList chosen = parser.values(QStringLiteral("transport"));
    for (const QString &name : chosen)
        if (!names.contains(name))
            usage(QStringLiteral("no transport %1; there are %2").arg(name, names.join(u", ")));
    if (chosen.isEmpty())
        chosen = names;

    QTextStream out(stdout);
    bool passed = true;
    for (const TransportEntry &entry : transports()) {
        if (!chosen.contains(entry.name))
            continue;
        SoakResult result;
        try {
            result = runSoak(entry, options, out);
        } catch (const AutomationError &error) {
            out << entry.name << ": " << error.description() << Qt::endl;
            passed = false;
            continue;
        }
        const qint64 growth = result.endRssKiB - result.warmRssKiB;
        const bool flat = !kMemoryJudged || growth <= options.maxGrowthKiB;
        passed = passed && flat && result.failures == 0;
        out << entry.name << ": " << result.cycles << " cycles, " << result.faults
            << " faults injected, " << result.failures << " failures, " << result.elapsedMs / 1000.0
            << " s; resident " << result.warmRssKiB << " KiB after the warm-up, "
            << result.endRssKiB << " KiB at the end (" << (growth >= 0 ? "+" : "") << growth
            << " KiB, "
            << (kMemoryJudged ? QStringLiteral("limit +%1").arg(options.maxGrowthKiB)
                              : QStringLiteral("not judged under AddressSanitizer"))
            << ")" << (flat && result.failures == 0 ? " PASS" : " FAIL") << Qt::endl;
    }
    return passed ? 0 : 1;
}
