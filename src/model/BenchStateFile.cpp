#include "model/BenchStateFile.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/DocumentErrors.h"
#include "model/ItemStateInfo.h"
#include "support/HostDocument.h"

namespace ixo {

namespace {

const QString kMarkerKey = QStringLiteral("IxoBenchState");
const QString kCountKey = QStringLiteral("Count");
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
    bag.WriteProperty(kCountKey, int(states.size()));
    for (std::size_t i = 0; i < states.size(); ++i) {
        const QString n = QString::number(i + 1);
        bag.WriteProperty(kRoleKey.arg(n), states[i].first);
        // Kept the way a document's list keeps its states: ItemStateInfo is no Persistable.
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
    if (bag.ReadProperty(kMarkerKey, 0).toInt() != kFormat)
        notBenchFile(fileName,
                     QStringLiteral("it has no bench state of a format this version reads"));
    const int count = bag.ReadProperty(kCountKey, 0).toInt();
    if (count < 1 || count > kMaxRoles)
        notBenchFile(fileName, QStringLiteral("it names %1 roles").arg(count));
    std::vector<RoleState> states;
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        const QVariant contents = bag.ReadProperty(kStateKey.arg(n), QVariant());
        const QString role = bag.ReadProperty(kRoleKey.arg(n), QString()).toString();
        if (!contents.isValid() || role.isEmpty())
            notBenchFile(fileName, QStringLiteral("entry %1 holds no role and state").arg(i));
        auto state = std::make_shared<ItemStateInfo>();
        state->ReadPropertiesFromVariant(contents);
        states.emplace_back(role, std::move(state));
    }
    return states;
}

} // namespace ixo
