#pragma once

#include "model/StateInfo.h"

#include <QByteArray>
#include <QVariantMap>
#include <memory>

namespace ixo::bench {

// The states and their QDataStream counterparts the benchmarks share.
class StateFixtures {
public:
    static std::shared_ptr<ItemStateInfo> makeState(int number, int dataSize);
    // A waveform of size bytes that is not all one value, so that a lost byte shows; seed makes
    // waveforms of the same size differ.
    static QByteArray patternedWaveform(qsizetype size, int seed = 0);
    // States named like the control names new ones ("State 1", "State 2", ...), all of the
    // connected instrument.
    static std::shared_ptr<StateInfo> makeList(int count, int dataSize);

    // The same five properties an ItemStateInfo keeps in its bag.
    static QVariantMap toMap(const ItemStateInfo &state);
    static void fromMap(const QVariantMap &map, ItemStateInfo &state);

    // A list saved and loaded the way a QDataStream host would: the same keys as the property
    // bag, each state a nested QVariantMap.
    static QByteArray streamList(const StateInfo &list);
    static std::shared_ptr<StateInfo> unstreamList(const QByteArray &bytes);

    // Saved and loaded the project's way: WriteProperties into a bag and its Contents.
    static QByteArray saveList(StateInfo &list);
    static std::shared_ptr<StateInfo> loadList(const QByteArray &contents);
};

} // namespace ixo::bench
