#include "desktop/GuardedInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/SettingsDialog.h"
#include "instruments/RestorePreview.h"
#include "instruments/StateDiff.h"
#include "model/BenchRole.h"

#include <optional>

namespace ixo {

GuardedInstrument::GuardedInstrument(std::shared_ptr<InstrumentRelay> relay, RoleLookup role,
                                     Restoring restoring, QObject *parent)
    : QObject(parent)
    , m_relay(std::move(relay))
    , m_role(std::move(role))
    , m_restoring(std::move(restoring)) {}

QString GuardedInstrument::Model() {
    return m_relay->Model();
}

QVariant GuardedInstrument::CaptureState() {
    return m_relay->CaptureState();
}

// One capture serves both steps. The setup is kept before the restore, since one that fails
// part-way has changed the instrument already.
void GuardedInstrument::RestoreState(const QVariant &state) {
    std::optional<RestoreHistory::Entry> present;
    if (SettingsDialog::safetyCaptureEnabled() && m_role().safetyCapture())
        present = keepPresentSetup();
    if (SettingsDialog::previewEnabled())
        preview(present ? present->data : m_relay->CaptureState(), state);
    if (present) {
        m_role().history().push(std::move(*present));
        emit kept();
    }
    m_relay->RestoreState(state);
    emit restored(m_restoring());
}

RestoreHistory::Entry GuardedInstrument::keepPresentSetup() {
    try {
        return RestoreHistory::capture(*m_relay, m_restoring());
    } catch (const AutomationError &error) {
        throw AutomationError(error.number(), error.source(),
                              tr("Could not keep the present setup of %1 for Undo Restore, so "
                                 "nothing was restored (Edit > Settings... can turn this "
                                 "off): %2")
                                  .arg(m_relay->name(), error.description()));
    }
}

void GuardedInstrument::preview(const QVariant &present, const QVariant &state) {
    const StateDiff diff = StateDiff::compare(present, state);
    const int answer = Interaction::current()->messageBox(
        RestorePreview::question(m_relay->name(), diff),
        MessageBoxStyle::YesNo | MessageBoxStyle::Question, RestorePreview::title());
    if (answer != MessageBoxResult::Yes)
        throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                              tr("Cancelled by the user"));
}

QString GuardedInstrument::Version() {
    return m_relay->Version();
}

ObjectRef GuardedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return m_relay->ImportLegacyFile(fileName, progId);
}

} // namespace ixo
