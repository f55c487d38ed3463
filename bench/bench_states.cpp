#include "automation/Collection.h"
#include "automation/ObjectRef.h"
#include "automation/PropertyBag.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/StateFile.h"

#include <benchmark/benchmark.h>

namespace {

// A list of n states whose data is a typical SCPI setup of about 2 KiB.
std::shared_ptr<ixo::StateInfo> makeList(int count) {
    auto list = std::make_shared<ixo::StateInfo>();
    const QByteArray setup(2048, 'S');
    for (int i = 1; i <= count; ++i) {
        auto state = std::make_shared<ixo::ItemStateInfo>();
        state->setName(QStringLiteral("State %1").arg(i));
        state->setDescription(QStringLiteral("bench setup"));
        state->setData(setup);
        state->setModel(QStringLiteral("IXO SG-100"));
        state->setVersion(QStringLiteral("2.1.0"));
        list->Items()->Add(QVariant::fromValue<ixo::ObjectRef>(state), state->Name());
    }
    return list;
}

void BM_SaveList(benchmark::State &state) {
    const auto list = makeList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ixo::PropertyBag bag;
        list->WriteProperties(bag);
        benchmark::DoNotOptimize(bag.Contents());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveList)->Arg(12)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_LoadList(benchmark::State &state) {
    ixo::PropertyBag source;
    makeList(static_cast<int>(state.range(0)))->WriteProperties(source);
    const QByteArray contents = source.Contents();
    for (auto _ : state) {
        ixo::PropertyBag bag;
        bag.setContents(contents);
        ixo::StateInfo list;
        list.ReadProperties(bag);
        benchmark::DoNotOptimize(list.Items()->Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["document_bytes"] = static_cast<double>(contents.size());
}
BENCHMARK(BM_LoadList)->Arg(12)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

void BM_LookupByName(benchmark::State &state) {
    const auto list = makeList(32767);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            list->Items()->Item(QStringLiteral("STATE %1").arg(++i % 32767 + 1)));
    }
}
BENCHMARK(BM_LookupByName);

void BM_StateFileRoundTrip(benchmark::State &state) {
    auto item = std::make_shared<ixo::ItemStateInfo>();
    item->setData(QByteArray(static_cast<int>(state.range(0)), 'x'));
    const QByteArray contents = item->WritePropertiesToVariant().toByteArray();
    for (auto _ : state) {
        const QByteArray file =
            ixo::StateFile::encode(QStringLiteral("IxoInstrSetups.ItemStateInfo"), contents);
        benchmark::DoNotOptimize(ixo::StateFile::decode(file, QStringLiteral("bench.sta")));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StateFileRoundTrip)->Arg(4096)->Arg(1 << 20)->Arg(16 << 20);

} // namespace
