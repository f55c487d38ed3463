#include "model/StateImport.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/ItemStateInfo.h"
#include "support/SetupInterface.h"
#include "support/StateFile.h"

namespace ixo {

const QString StateImport::kItemProgId = QStringLiteral("IxoInstrSetups.ItemStateInfo");
const QString StateImport::kStateFileExtension = QStringLiteral(".sta");
const QString StateImport::kAnyVersion = QStringLiteral("*");

namespace {

const QString kStateImportSource = QStringLiteral("IxoInstrSetups.StateImport");

std::shared_ptr<ItemStateInfo> asState(const ObjectRef &object) {
    auto state = std::dynamic_pointer_cast<ItemStateInfo>(object);
    if (object && !state)
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateImportSource);
    return state;
}

} // namespace

std::shared_ptr<ItemStateInfo> StateImport::read(const QString &fileName, const QString &extension,
                                                 const SetupSource &setup,
                                                 const NameSource &freeName) {
    if (extension != kStateFileExtension)
        return asState(setup().ImportLegacyFile(fileName, kItemProgId));
    std::shared_ptr<ItemStateInfo> state;
    try {
        state = asState(StateFile().LoadObject(kItemProgId, fileName));
    } catch (const AutomationError &) {
        // Not a state file after all: the legacy reader gets its turn.
    }
    if (state)
        return state;
    state = asState(setup().ImportLegacyFile(fileName, kItemProgId));
    if (!state)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateImportSource);
    state->setName(freeName());
    if (state->Version() == kAnyVersion)
        state->setVersion(setup().Version());
    return state;
}

} // namespace ixo
