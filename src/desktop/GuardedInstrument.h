#pragma once

#include "automation/Export.h"
#include "model/RestoreHistory.h"
#include "support/SetupInterface.h"

#include <QObject>
#include <functional>
#include <memory>

namespace ixo {

class BenchRole;
class InstrumentRelay;

// What a role's control is handed as its instrument: the role's relay, with two steps before
// each restore the control makes. The instrument's present setup is kept in the role's history,
// so that Edit > Undo Restore can put it back (unless the settings or the role turn that off),
// and the settings the restore changes are shown and the user asked (unless turned off). A
// bench restore goes to the relay itself: the model keeps the setup there.
class IXO_EXPORT GuardedInstrument : public QObject, public SetupInterface {
    Q_OBJECT

public:
    // The role whose history keeps the setups; asked at each restore, since another document
    // brings other roles.
    using RoleLookup = std::function<BenchRole &()>;
    // The name of the saved state about to be restored.
    using Restoring = std::function<QString()>;

    GuardedInstrument(std::shared_ptr<InstrumentRelay> relay, RoleLookup role, Restoring restoring,
                      QObject *parent = nullptr);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

signals:
    // A setup was kept in the role's history.
    void kept();
    // The saved state was sent to the instrument.
    void restored(const QString &state);

private:
    // Raises why nothing can be restored when the setup cannot be captured.
    RestoreHistory::Entry keepPresentSetup();
    // Raises "Cancelled by the user" unless the user accepts the settings the restore changes.
    void preview(const QVariant &present, const QVariant &state);

    std::shared_ptr<InstrumentRelay> m_relay;
    RoleLookup m_role;
    Restoring m_restoring;
};

} // namespace ixo
