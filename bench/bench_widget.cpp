#include "SideBySide.h"
#include "StateFixtures.h"
#include "control/InstrumentState.h"
#include "model/ItemStateInfo.h"

#include <QSet>
#include <QStringList>
#include <QTreeWidget>
#include <vector>

namespace ixo::bench {

namespace {

constexpr int kDataSize = 1 << 10;

// Attaching a list to the control (which first drops the rows of the list before), against
// clearing a bare QTreeWidget and inserting the same two-column rows.
void BM_AttachStates(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    const auto list = StateFixtures::makeList(count, kDataSize);
    std::vector<QStringList> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({list->item(i)->Name(), list->item(i)->Description()});

    InstrumentState control;
    QTreeWidget tree;
    tree.setColumnCount(2);
    tree.setRootIsDecorated(false);

    const Side ours{[&] { control.setInstrumentStateInfo(list); }, 1};
    const Side bare{[&] {
                        tree.clear();
                        for (const QStringList &row : rows)
                            new QTreeWidgetItem(&tree, row);
                    },
                    1};
    sideBySide(state, ours, {{"qtreewidget", bare}});
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_AttachStates)
    ->Arg(1000)
    ->Arg(StateInfo::kMaxStates)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The free name after "State 1" to "State 32767" are all taken, the longest search there is,
// against probing a QSet of the folded names.
void BM_UniqueStateName(benchmark::State &state) {
    const auto list = StateFixtures::makeList(StateInfo::kMaxStates, kDataSize);
    InstrumentState control;
    control.setInstrumentStateInfo(list);
    QSet<QString> taken;
    for (int i = 1; i <= StateInfo::kMaxStates; ++i)
        taken.insert(list->item(i)->Name().toCaseFolded());

    const Side ours{[&] { benchmark::DoNotOptimize(control.GetUniqueStateName()); }, 1};
    const Side probe{[&] {
                         const QString prefix = QStringLiteral("State ");
                         for (int number = 1;; ++number) {
                             const QString candidate = prefix + QString::number(number);
                             if (!taken.contains(candidate.toCaseFolded())) {
                                 benchmark::DoNotOptimize(candidate);
                                 return;
                             }
                         }
                     },
                     1};
    sideBySide(state, ours, {{"qset", probe}});
}
BENCHMARK(BM_UniqueStateName)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

} // namespace ixo::bench
