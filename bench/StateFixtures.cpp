#include "StateFixtures.h"

#include "automation/ObjectRef.h"
#include "automation/PropertyBag.h"
#include "instruments/simulator/SimulatedInstrument.h"
#include "model/ItemStateInfo.h"

#include <QDataStream>
#include <QIODevice>

namespace ixo::bench {

namespace {

const QString kName = QStringLiteral("Name");
const QString kDescription = QStringLiteral("Description");
const QString kData = QStringLiteral("Data");
const QString kModel = QStringLiteral("Model");
const QString kVersion = QStringLiteral("Version");

} // namespace

QByteArray StateFixtures::patternedWaveform(qsizetype size, int seed) {
    QByteArray waveform(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        waveform[i] = static_cast<char>(i * 13 + seed);
    return waveform;
}

std::shared_ptr<ItemStateInfo> StateFixtures::makeState(int number, int dataSize) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(QStringLiteral("State %1").arg(number));
    state->setDescription(QStringLiteral("Bench setup %1").arg(number));
    QByteArray data(dataSize, Qt::Uninitialized);
    for (int i = 0; i < dataSize; ++i)
        data[i] = static_cast<char>('A' + (i + number) % 26);
    state->setData(data);
    state->setModel(SimulatedInstrument::kDefaultModel);
    state->setVersion(SimulatedInstrument::kDefaultVersion);
    return state;
}

std::shared_ptr<StateInfo> StateFixtures::makeList(int count, int dataSize) {
    auto list = std::make_shared<StateInfo>();
    list->setSetupInterface(std::make_shared<SimulatedInstrument>());
    for (int i = 1; i <= count; ++i) {
        const auto state = makeState(i, dataSize);
        list->Items()->Add(QVariant::fromValue<ObjectRef>(state), state->Name());
    }
    return list;
}

QVariantMap StateFixtures::toMap(const ItemStateInfo &state) {
    return {{kName, state.Name()},
            {kDescription, state.Description()},
            {kData, state.data()},
            {kModel, state.Model()},
            {kVersion, state.Version()}};
}

void StateFixtures::fromMap(const QVariantMap &map, ItemStateInfo &state) {
    state.setName(map.value(kName).toString());
    state.setDescription(map.value(kDescription).toString());
    state.setData(map.value(kData));
    state.setModel(map.value(kModel).toString());
    state.setVersion(map.value(kVersion).toString());
}

QByteArray StateFixtures::streamList(const StateInfo &list) {
    QVariantMap document;
    const int count = list.Items()->Count();
    document.insert(StateInfo::kCountKey, QVariant::fromValue(static_cast<qint16>(count)));
    for (int i = 1; i <= count; ++i)
        document.insert(StateInfo::kItemKeyPrefix + QString::number(i), toMap(*list.item(i)));
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << document;
    return bytes;
}

std::shared_ptr<StateInfo> StateFixtures::unstreamList(const QByteArray &bytes) {
    QVariantMap document;
    QDataStream in(bytes);
    in >> document;
    auto list = std::make_shared<StateInfo>();
    const int count = document.value(StateInfo::kCountKey).toInt();
    for (int i = 1; i <= count; ++i) {
        auto state = std::make_shared<ItemStateInfo>();
        fromMap(document.value(StateInfo::kItemKeyPrefix + QString::number(i)).toMap(), *state);
        list->Items()->Add(QVariant::fromValue<ObjectRef>(state), state->Name());
    }
    return list;
}

QByteArray StateFixtures::saveList(StateInfo &list) {
    PropertyBag bag;
    list.WriteProperties(bag);
    return bag.Contents();
}

std::shared_ptr<StateInfo> StateFixtures::loadList(const QByteArray &contents) {
    PropertyBag bag;
    bag.setContents(contents);
    auto list = std::make_shared<StateInfo>();
    list->ReadProperties(bag);
    return list;
}

} // namespace ixo::bench
