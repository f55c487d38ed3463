#include "SideBySide.h"
#include "StateFixtures.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/simulator/SimulatedInstrument.h"
#include "library/DocumentStore.h"
#include "library/LibraryAddress.h"
#include "library/LibraryDocument.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/BenchRole.h"
#include "model/ItemStateInfo.h"
#include "model/RefusedChange.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>
#include <latch>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <thread>
#include <vector>

namespace ixo::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr qsizetype kSetupSize = 64 * 1024;
constexpr int kSharedStates = 8;
constexpr double kDefaultSeconds = 3;
const char *const kLibraryVariable = "IXO_BENCH_LIBRARY";
const char *const kSecondsVariable = "IXO_BENCH_STATION_SECONDS";
const char *const kStationVariable = "IXO_STATION";

enum Backend { Sqlite = 0, Postgresql = 1 };

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A quick run by default; the goal is measured over 30 s.
double stationSeconds() {
    bool ok = false;
    const double seconds = qEnvironmentVariable(kSecondsVariable).toDouble(&ok);
    return ok && seconds > 0 ? seconds : kDefaultSeconds;
}

// The library the benchmark works in: a new SQLite file in dir, or the PostgreSQL server
// IXO_BENCH_LIBRARY names (its password in the file PGPASSFILE names). Skips when that server
// is not given.
std::optional<QString> libraryAddress(benchmark::State &state, const QTemporaryDir &dir) {
    if (state.range(0) == Sqlite)
        return QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("library.sqlite"));
    const QString address = qEnvironmentVariable(kLibraryVariable);
    if (address.isEmpty()) {
        state.SkipWithError("no PostgreSQL server: set IXO_BENCH_LIBRARY=postgresql://user@host:"
                            "port/database to a server the benchmark may write documents to");
        return std::nullopt;
    }
    return address;
}

QString withDocument(const QString &library, const QString &document) {
    return library + (library.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
           QStringLiteral("document=") + document;
}

// Documents of earlier runs stay in a server's library; each run starts on a new one.
QString freshDocumentName(const QString &what) {
    return QStringLiteral("%1-%2").arg(what).arg(QDateTime::currentMSecsSinceEpoch());
}

// The signal generator simulated in-process, answering its binary setup block, which its
// waveform memory fills to 64 KiB; seed makes each station's setups differ.
std::shared_ptr<SimulatedInstrument> makeInstrument(int seed) {
    auto instrument = std::make_shared<SimulatedInstrument>();
    instrument->setSetupQuery(SimulatedDevice::kSetupQuery);
    // The setup around a waveform of one byte tells what the rest of the block takes.
    instrument->device().loadWaveform(QByteArray(1, '\0'));
    const qsizetype overhead = instrument->CaptureState().toByteArray().size() - 1;
    instrument->device().loadWaveform(
        StateFixtures::patternedWaveform(kSetupSize - overhead, seed));
    return instrument;
}

QString stationPrefix(int index) {
    return QStringLiteral("s%1-").arg(index, 2, 10, QLatin1Char('0'));
}

QString sharedName(int index) {
    return QStringLiteral("shared-%1").arg(index);
}

// The document the stations meet on: the states every station starts from, and whether a
// restore first keeps the instrument's setup in the station's undo history.
void prepareDocument(DocumentStore &store, bool safetyCapture) {
    BenchRole &role = store.document().role();
    role.setSafetyCapture(safetyCapture);
    const auto instrument = makeInstrument(kSharedStates);
    for (int i = 1; i <= kSharedStates; ++i)
        role.capture(*instrument, sharedName(i), QString());
    store.save();
}

struct Tally {
    long operations = 0;
    long saves = 0;
    long conflicts = 0;
    long lockTimeouts = 0;
    long reads = 0;
    double saveSeconds = 0;
    double longestSave = 0;
    double readSeconds = 0;
    // This station's states as its store holds them, by their present names.
    std::vector<QString> own;
    QString failure;
};

// One station: its own connection to the library (or its own file) and its own instrument.
// Each turn captures a new state and saves it, restores a state of any station, and every
// other turn either renames one of its own states or describes one of the states all stations
// started from, each saved. Those shared states are where saves meet: renames touch only a
// station's own states, and new states never collide.
class Station {
public:
    Station(int index, QString location)
        : m_index(index)
        , m_prefix(stationPrefix(index))
        , m_location(std::move(location))
        , m_texts(std::make_shared<CIxoResourcesDefault>())
        , m_random(static_cast<std::mt19937::result_type>(index)) {}

    // On the station's own thread, which is the only one its connection may be used from.
    void open() {
        m_instrument = makeInstrument(m_index);
        m_store = DocumentStore::open(m_location, m_texts, DocumentStore::Missing::Fails);
    }

    void work(Clock::time_point deadline) {
        for (int turn = 1; Clock::now() < deadline; ++turn) {
            capture(turn);
            restore();
            if (turn % 4 == 0)
                renameOwn(turn);
            else if (turn % 4 == 2)
                describeShared(turn);
        }
    }

    Tally &tally() { return m_tally; }
    const QString &prefix() const { return m_prefix; }

private:
    BenchRole &role() { return m_store->document().role(); }

    void capture(int turn) {
        const QString name = m_prefix + QStringLiteral("%1").arg(turn, 6, 10, QLatin1Char('0'));
        role().capture(*m_instrument, name, QStringLiteral("captured on %1").arg(m_prefix));
        if (save())
            m_tally.own.push_back(name);
        ++m_tally.operations;
    }

    void restore() {
        if (role().count() == 0)
            return;
        role().restore(*m_instrument, anyState());
        ++m_tally.operations;
    }

    void renameOwn(int turn) {
        if (m_tally.own.empty())
            return;
        QString &name = m_tally.own[pick(m_tally.own.size())];
        // The station's prefix stays, so that its states can still be counted.
        const QString renamed =
            name.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.') + QString::number(turn);
        role().rename(name, renamed, std::nullopt);
        if (save())
            name = renamed;
        ++m_tally.operations;
    }

    void describeShared(int turn) {
        const QString name = sharedName(static_cast<int>(pick(kSharedStates)) + 1);
        role().rename(name, name,
                      QStringLiteral("described on %1, turn %2").arg(m_prefix).arg(turn));
        save();
        ++m_tally.operations;
    }

    QString anyState() {
        const auto &states = role().stateInfo();
        return states->item(static_cast<int>(pick(static_cast<std::size_t>(role().count()))) + 1)
            ->Name();
    }

    std::size_t pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(m_random);
    }

    // A save another station's change refused leaves this station to read the document again
    // and go on: its change is dropped, as a user would be told to do it again.
    bool save() {
        const auto start = Clock::now();
        try {
            m_store->save();
        } catch (const RefusedChange &refused) {
            if (refused.number() != ErrorNumber::WriteConflict || !m_store->library())
                throw;
            ++m_tally.conflicts;
            readAgain();
            return false;
        } catch (const AutomationError &error) {
            // SQLite gives its write lock to whichever waiting station asks first, so one can
            // wait out the library's busy timeout while others save; nothing was written.
            if (error.number() != ErrorNumber::DeviceUnavailable || !isSqlite())
                throw;
            ++m_tally.lockTimeouts;
            readAgain();
            return false;
        }
        const double seconds = secondsSince(start);
        ++m_tally.saves;
        m_tally.saveSeconds += seconds;
        m_tally.longestSave = std::max(m_tally.longestSave, seconds);
        return true;
    }

    void readAgain() {
        const auto start = Clock::now();
        m_store->library()->read(m_texts, LibrarySchema::Missing::Fails);
        m_tally.readSeconds += secondsSince(start);
        ++m_tally.reads;
    }

    bool isSqlite() const {
        return m_store->library() &&
               LibraryAddress::parse(m_location).kind() == LibraryAddress::Kind::Sqlite;
    }

    int m_index;
    QString m_prefix;
    QString m_location;
    std::shared_ptr<IxoResource> m_texts;
    std::mt19937 m_random;
    std::shared_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<DocumentStore> m_store;
    Tally m_tally;
};

// Stations are opened one at a time: each names itself through IXO_STATION, which the library
// reads as it opens, and the environment is no place for threads to race.
class StationNames {
public:
    StationNames()
        : m_saved(qgetenv(kStationVariable))
        , m_wasSet(qEnvironmentVariableIsSet(kStationVariable)) {}
    ~StationNames() {
        if (m_wasSet)
            qputenv(kStationVariable, m_saved);
        else
            qunsetenv(kStationVariable);
    }
    StationNames(const StationNames &) = delete;
    StationNames &operator=(const StationNames &) = delete;

    std::mutex &opening() { return m_opening; }

private:
    QByteArray m_saved;
    bool m_wasSet;
    std::mutex m_opening;
};

struct StationsRun {
    std::vector<Tally> tallies;
    std::vector<QString> prefixes;
    double seconds = 0;
};

// Every station opens its store on its own thread; the clock starts once all have.
StationsRun runStations(const std::vector<QString> &locations, double seconds) {
    const auto count = static_cast<std::ptrdiff_t>(locations.size());
    StationNames names;
    std::latch opened(count);
    std::latch go(1);
    Clock::time_point deadline;
    StationsRun run;
    run.tallies.resize(locations.size());
    run.prefixes.resize(locations.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < locations.size(); ++i) {
        threads.emplace_back([&, i] {
            Station station(static_cast<int>(i), locations[i]);
            run.prefixes[i] = station.prefix();
            bool ready = false;
            try {
                {
                    const std::lock_guard lock(names.opening());
                    qputenv(kStationVariable, QStringLiteral("bench-station-%1").arg(i).toUtf8());
                    station.open();
                }
                ready = true;
            } catch (const std::exception &error) {
                station.tally().failure = QString::fromUtf8(error.what());
            }
            opened.count_down();
            go.wait();
            try {
                if (ready)
                    station.work(deadline);
            } catch (const std::exception &error) {
                station.tally().failure = QString::fromUtf8(error.what());
            }
            run.tallies[i] = std::move(station.tally());
        });
    }
    opened.wait();
    const auto start = Clock::now();
    deadline =
        start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    go.count_down();
    for (std::thread &thread : threads)
        thread.join();
    run.seconds = secondsSince(start);
    return run;
}

// A station's states in a document: names starting with its prefix, each with a whole setup.
std::set<QString> statesOf(const StateDocument &document, const QString &prefix, long &damaged) {
    std::set<QString> names;
    for (const auto &state : document.role().states()) {
        if (!state->Name().startsWith(prefix))
            continue;
        names.insert(state->Name());
        if (state->data().toByteArray().size() != kSetupSize)
            ++damaged;
    }
    return names;
}

// Whether every save a station saw succeed is in the store it saved to: counts the captures
// (under their present names) the store lacks, and the states it holds that no save put there.
void report(benchmark::State &state, const StationsRun &run,
            const std::function<const StateDocument &(std::size_t)> &documentOf) {
    long operations = 0;
    long saves = 0;
    long conflicts = 0;
    long lockTimeouts = 0;
    long reads = 0;
    double saveSeconds = 0;
    double longestSave = 0;
    double readSeconds = 0;
    long lost = 0;
    long unexpected = 0;
    long damaged = 0;
    std::set<const StateDocument *> documents;
    for (std::size_t i = 0; i < run.tallies.size(); ++i) {
        const Tally &tally = run.tallies[i];
        if (!tally.failure.isEmpty()) {
            state.SkipWithError(QStringLiteral("station %1 failed: %2")
                                    .arg(i)
                                    .arg(tally.failure)
                                    .toStdString()
                                    .c_str());
            return;
        }
        operations += tally.operations;
        saves += tally.saves;
        conflicts += tally.conflicts;
        lockTimeouts += tally.lockTimeouts;
        reads += tally.reads;
        saveSeconds += tally.saveSeconds;
        longestSave = std::max(longestSave, tally.longestSave);
        readSeconds += tally.readSeconds;
        const StateDocument &document = documentOf(i);
        documents.insert(&document);
        const std::set<QString> held = statesOf(document, run.prefixes[i], damaged);
        const std::set<QString> saved(tally.own.begin(), tally.own.end());
        for (const QString &name : saved)
            lost += held.count(name) ? 0 : 1;
        for (const QString &name : held)
            unexpected += saved.count(name) ? 0 : 1;
    }
    long states = 0;
    for (const StateDocument *document : documents)
        states += document->role().count();
    state.SetIterationTime(run.seconds);
    state.counters["ops_per_s"] = static_cast<double>(operations) / run.seconds;
    state.counters["saves_per_s"] = static_cast<double>(saves) / run.seconds;
    state.counters["save_ms"] = saves > 0 ? saveSeconds / static_cast<double>(saves) * 1e3 : 0;
    state.counters["save_max_ms"] = longestSave * 1e3;
    state.counters["conflicts"] = static_cast<double>(conflicts);
    state.counters["lock_timeouts"] = static_cast<double>(lockTimeouts);
    state.counters["reread_ms"] = reads > 0 ? readSeconds / static_cast<double>(reads) * 1e3 : 0;
    state.counters["states"] = static_cast<double>(states);
    state.counters["lost"] = static_cast<double>(lost);
    if (lost > 0 || unexpected > 0 || damaged > 0)
        state.SkipWithError(QStringLiteral("%1 saved captures missing, %2 states no save put "
                                           "there, %3 setups damaged")
                                .arg(lost)
                                .arg(unexpected)
                                .arg(damaged)
                                .toStdString()
                                .c_str());
}

// N stations (threads) each with its own connection and simulated instrument, all on one
// library document, for IXO_BENCH_STATION_SECONDS. Arguments: the database (Backend), the
// number of stations and whether restores keep the instrument's setup first (the role's safety
// capture, on by default, which puts up to ten setups in each station's undo history and so
// in each save after a restore). Counters: operations (capture + save, restore, rename + save,
// describe + save) and successful saves per second over all stations, the mean and longest
// time of a save, the saves refused by a conflict, the saves SQLite gave up on after waiting
// for its write lock for the library's busy timeout (30 s), the mean time of reading the
// document again after either, the states at the end and the saved captures missing from the
// library (which fails the run unless 0).
void BM_LibraryStations(benchmark::State &state) {
    const QTemporaryDir dir;
    const std::optional<QString> library = libraryAddress(state, dir);
    if (!library)
        return;
    const auto stations = static_cast<std::size_t>(state.range(1));
    const QString location =
        withDocument(*library, freshDocumentName(QStringLiteral("stations%1").arg(stations)));
    const auto texts = std::make_shared<CIxoResourcesDefault>();
    prepareDocument(*DocumentStore::open(location, texts, DocumentStore::Missing::IsCreated),
                    state.range(2) != 0);
    for (auto _ : state) {
        const StationsRun run =
            runStations(std::vector<QString>(stations, location), stationSeconds());
        const auto store = DocumentStore::open(location, texts);
        report(state, run, [&](std::size_t) -> const StateDocument & { return store->document(); });
    }
    state.SetLabel(state.range(0) == Sqlite ? "SQLite" : "PostgreSQL");
}
BENCHMARK(BM_LibraryStations)
    ->ArgNames({"postgresql", "stations", "safety_capture"})
    ->ArgsProduct({{Sqlite, Postgresql}, {1, 4, 16}, {1}})
    ->Args({Sqlite, 16, 0})
    ->Args({Postgresql, 16, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// The same work on local .ixs files, each station its own (StateDocument::open and save,
// which rewrite the whole file): arguments the number of stations and the safety capture.
void BM_FileStations(benchmark::State &state) {
    const QTemporaryDir dir;
    const auto stations = static_cast<std::size_t>(state.range(0));
    const auto texts = std::make_shared<CIxoResourcesDefault>();
    std::vector<QString> files;
    for (std::size_t i = 0; i < stations; ++i) {
        files.push_back(dir.filePath(QStringLiteral("station%1.ixs").arg(i)));
        prepareDocument(
            *DocumentStore::open(files.back(), texts, DocumentStore::Missing::IsCreated),
            state.range(1) != 0);
    }
    for (auto _ : state) {
        const StationsRun run = runStations(files, stationSeconds());
        std::vector<StateDocument> documents;
        for (const QString &file : files)
            documents.push_back(StateDocument::open(file, texts));
        report(state, run, [&](std::size_t i) -> const StateDocument & { return documents[i]; });
    }
    state.SetLabel("local files");
}
BENCHMARK(BM_FileStations)
    ->ArgNames({"stations", "safety_capture"})
    ->ArgsProduct({{1, 4, 16}, {1}})
    ->Args({16, 0})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

StateDocument listingDocument(const std::shared_ptr<IxoResource> &texts, int states, int dataSize) {
    StateDocument document(texts);
    for (int i = 1; i <= states; ++i)
        document.role().add(StateFixtures::makeState(i, dataSize));
    return document;
}

// Reading a document from the library (LibraryDocument::read on a connection already open; the
// benchmark's time) against opening the same document as an .ixs file (StateDocument::open),
// in the same iterations. Arguments: the database (Backend), the number of states and the
// bytes of each one's data: the longest list a document holds, of small setups, and what a
// station reads again after a conflict in BM_LibraryStations, a few hundred 64 KiB setups.
// Counters beside those of sideBySide: "import_s", the time SetupLibrary::importDocument took
// to put the document in the library, and "file_mib", the size of the file.
void BM_LibraryListing(benchmark::State &state) {
    const QTemporaryDir dir;
    const std::optional<QString> address = libraryAddress(state, dir);
    if (!address)
        return;
    const auto states = static_cast<int>(state.range(1));
    const auto dataSize = static_cast<int>(state.range(2));
    const auto texts = std::make_shared<CIxoResourcesDefault>();
    const QString fileName = dir.filePath(QStringLiteral("listing.ixs"));
    const QString name = freshDocumentName(QStringLiteral("listing"));
    SetupLibrary library(LibraryAddress::parse(*address), LibrarySchema::Missing::IsCreated);
    double importSeconds = 0;
    {
        StateDocument document = listingDocument(texts, states, dataSize);
        document.save(fileName);
        const auto start = Clock::now();
        library.importDocument(name, document);
        importSeconds = secondsSince(start);
    }
    const auto readLibrary = [&] {
        LibraryDocument document(library, name);
        document.read(texts, LibrarySchema::Missing::Fails);
        return document.document().role().count();
    };
    const auto openFile = [&] { return StateDocument::open(fileName, texts).role().count(); };
    if (readLibrary() != states || openFile() != states) {
        state.SkipWithError("the document did not come back whole");
        return;
    }
    sideBySide(state, {[&] { benchmark::DoNotOptimize(readLibrary()); }, 1},
               {{"file",
                 {[&] { benchmark::DoNotOptimize(openFile()); }, 1},
                 Baseline::Ratio::Time,
                 false}});
    state.counters["import_s"] = importSeconds;
    state.counters["file_mib"] = static_cast<double>(QFileInfo(fileName).size()) / (1 << 20);
    state.SetItemsProcessed(state.iterations() * states);
    state.SetLabel(state.range(0) == Sqlite ? "SQLite" : "PostgreSQL");
}
BENCHMARK(BM_LibraryListing)
    ->ArgNames({"postgresql", "states", "data_bytes"})
    ->ArgsProduct({{Sqlite, Postgresql}, {StateInfo::kMaxStates}, {200}})
    ->ArgsProduct({{Sqlite, Postgresql}, {512}, {kSetupSize}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
