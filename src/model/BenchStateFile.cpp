#include "model/BenchStateFile.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/DocumentErrors.h"
#include "model/ItemStateInfo.h"
#include "support/HostDocument.h"

namespace ixo {

namespace {

const QString kMarkerKey = QStringLiteral("IxoBenchState");
const QString kStatesCountKey = QStringLiteral("Count");
const QString kRoleKey = QStringLiteral("Role%1");
const QString kStateKey = QStringLiteral("State%1");
constexpr int kFormat = 1;
constexpr int kMaxRoles = 256;

[[noreturn]] void notBenchFile(const QString &fileName, const QString &why) {
    DocumentErrors::fail(ErrorNumber::InvalidFileFormat,
                         QStringLiteral("%1 is not a bench state file: %2").arg(fileName, why));
}

} // namespace

const QString BenchStateFile::kExtension = QStringLiteral("ixb");

void BenchStateFile::save(const std::vector<RoleState> &states, const QString &fileName) {
    PropertyBag bag;
    bag.WriteProperty(kMarkerKey, kFormat);
    bag.WriteProperty(kStatesCountKey, int(states.size()));
    for (std::size_t i = 0; i < states.size(); ++i) {
        const QString n = QString::number(i + 1);
        bag.WriteProperty(kRoleKey.arg(n), states[i].first);
        // A state keeps its own contents, as in a state file.
        bag.WriteProperty(kStateKey.arg(n), states[i].second->WritePropertiesToVariant());
    }
    HostDocument::save(bag, fileName);
}

std::vector<BenchStateFile::RoleState> BenchStateFile::load(const QString &fileName) {
    PropertyBag bag;
    try {
        bag = HostDocument::load(fileName);
    } catch (const AutomationError &error) {
        if (error.number() != ErrorNumber::InvalidFileFormat)
            throw;
        notBenchFile(fileName, error.description());
    }
    return fromBag(bag, fileName);
}

std::vector<BenchStateFile::RoleState> BenchStateFile::fromBag(const PropertyBag &bag,
                                                               const QString &fileName) {
    if (bag.ReadProperty(kMarkerKey, 0).toInt() != kFormat)
        notBenchFile(fileName,
                     QStringLiteral("it has no bench state of a format this version reads"));
    const int count = bag.ReadProperty(kStatesCountKey, 0).toInt();
    if (count < 1 || count > kMaxRoles)
        notBenchFile(fileName, QStringLiteral("it names %1 roles").arg(count));
    std::vector<RoleState> states;
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        const QVariant contents = bag.ReadProperty(kStateKey.arg(n), QVariant());
        const QString role = bag.ReadProperty(kRoleKey.arg(n), QString()).toString();
        if (contents.typeId() != QMetaType::QByteArray || role.isEmpty())
            notBenchFile(fileName, QStringLiteral("entry %1 holds no role and state").arg(i));
        auto state = std::make_shared<ItemStateInfo>();
        try {
            state->ReadPropertiesFromVariant(contents);
        } catch (const AutomationError &error) {
            notBenchFile(fileName, QStringLiteral("entry %1: %2").arg(i).arg(error.description()));
        }
        if (state->Name().isEmpty())
            notBenchFile(fileName, QStringLiteral("entry %1 holds a state without a name").arg(i));
        states.emplace_back(role, std::move(state));
    }
    return states;
}

} // namespace ixo
