#include "SideBySide.h"
#include "StateFixtures.h"

namespace ixo::bench {

namespace {

constexpr int kDataSize = 1 << 10;

Side roundTrip(const std::shared_ptr<StateInfo> &list) {
    return {[list] {
                benchmark::DoNotOptimize(StateFixtures::loadList(StateFixtures::saveList(*list)));
            },
            static_cast<double>(list->Items()->Count())};
}

// A list saved with WriteProperties into a bag's Contents and loaded back, against the same
// list streamed through QDataStream.
void BM_StateInfoRoundTrip(benchmark::State &state) {
    const auto list = StateFixtures::makeList(static_cast<int>(state.range(0)), kDataSize);
    const Side dataStream{[list] {
                              benchmark::DoNotOptimize(
                                  StateFixtures::unstreamList(StateFixtures::streamList(*list)));
                          },
                          static_cast<double>(list->Items()->Count())};
    sideBySide(state, roundTrip(list), {{"qdatastream", dataStream}});
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StateInfoRoundTrip)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(StateInfo::kMaxStates)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Time per state of the longest list against that of 1,000 states ("n1000"), one run after the
// other: a document is loaded once, so the short list gets no cache warmed by itself.
void BM_StateInfoLinearity(benchmark::State &state) {
    const auto longest = StateFixtures::makeList(StateInfo::kMaxStates, kDataSize);
    const auto short1000 = StateFixtures::makeList(1000, kDataSize);
    sideBySide(state, roundTrip(longest),
               {{"n1000", roundTrip(short1000), Baseline::Ratio::Time, false}});
}
BENCHMARK(BM_StateInfoLinearity)->MinTime(4)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
