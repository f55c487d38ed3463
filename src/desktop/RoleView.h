#pragma once

#include "automation/Export.h"
#include "desktop/InstrumentSettings.h"
#include "support/SetupInterface.h"

#include <QSplitter>
#include <functional>
#include <memory>

namespace ixo {

class BenchRole;
class GuardedInstrument;
class InstrumentConnection;
class InstrumentPanel;
class InstrumentRelay;
class InstrumentState;
class StateComparison;

// One instrument of the document's bench, by its role: the saved-states control on the role's
// list beside the instrument's settings, with a connection of its own. The control keeps its
// design size; the settings take the rest.
class IXO_EXPORT RoleView : public QSplitter {
    Q_OBJECT

public:
    // The document's role of that name.
    using RoleOf = std::function<BenchRole &(const QString &name)>;

    // instrument: the one to start on (none leaves the view disconnected).
    RoleView(SetupInterfaceRef instrument, InstrumentSettings settings, RoleOf roleOf,
             QWidget *parent = nullptr);
    ~RoleView() override;

    InstrumentState &control() const { return *m_control; }
    InstrumentPanel &panel() const { return *m_panel; }
    InstrumentConnection &connection() const { return *m_connection; }
    const std::shared_ptr<InstrumentRelay> &relay() const;
    StateComparison &comparison() const { return *m_comparison; }
    // What the control is handed as its instrument.
    std::shared_ptr<GuardedInstrument> instrument() const { return m_instrument; }

    const QString &role() const { return m_role; }
    const QString &resource() const { return m_resource; }
    // Shows that role from now on; its instrument is reached at the role's resource.
    void setRole(const BenchRole &role);
    // The role's profile for the role's resource; none (the usual choice) for another.
    QString profileFor(const QString &resource) const;
    // Connects to the role's resource unless that is connected already or the role names none;
    // raises why it could not, leaving the connection as it was.
    void connectRole();

signals:
    // Another instrument, or none, is connected.
    void switched();

private:
    void buildLayout(InstrumentSettings settings);
    void instrumentSwitched(const InstrumentSettings &settings);
    // The highlighted state, which the control's Restore restores.
    QString selectedState() const;

    std::unique_ptr<InstrumentConnection> m_connection;
    std::shared_ptr<GuardedInstrument> m_instrument;
    InstrumentState *m_control = nullptr;
    InstrumentPanel *m_panel = nullptr;
    std::unique_ptr<StateComparison> m_comparison;
    QString m_role;
    QString m_resource;
    QString m_profile;
};

} // namespace ixo
