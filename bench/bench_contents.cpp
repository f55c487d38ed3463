#include "SideBySide.h"
#include "StateFixtures.h"
#include "model/ItemStateInfo.h"

#include <QDataStream>
#include <QIODevice>
#include <cstring>

namespace ixo::bench {

namespace {

// One state's contents encoded and decoded again, against copying its data once and against
// a QDataStream round trip of the same properties as a QVariantMap.
void BM_StateContents(benchmark::State &state) {
    const int size = static_cast<int>(state.range(0));
    const auto source = StateFixtures::makeState(1, size);
    ItemStateInfo target;
    const QByteArray data = source->data().toByteArray();
    QByteArray copy(size, Qt::Uninitialized);

    const Side ours{[&] { target.ReadPropertiesFromVariant(source->WritePropertiesToVariant()); },
                    static_cast<double>(size)};
    const Side memcpyCopy{[&] {
                              std::memcpy(copy.data(), data.constData(),
                                          static_cast<std::size_t>(size));
                              benchmark::ClobberMemory();
                          },
                          static_cast<double>(size)};
    const Side dataStream{[&] {
                              QByteArray bytes;
                              {
                                  QDataStream out(&bytes, QIODevice::WriteOnly);
                                  out << StateFixtures::toMap(*source);
                              }
                              QVariantMap map;
                              QDataStream in(bytes);
                              in >> map;
                              StateFixtures::fromMap(map, target);
                          },
                          static_cast<double>(size)};
    sideBySide(state, ours,
               {{"memcpy", memcpyCopy, Baseline::Ratio::Throughput},
                {"qdatastream", dataStream, Baseline::Ratio::Throughput}});
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_StateContents)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20)->UseManualTime();

} // namespace

} // namespace ixo::bench
