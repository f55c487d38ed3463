#pragma once

#include "automation/Export.h"
#include "model/RestoreHistory.h"
#include "support/SetupInterface.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace ixo {

class ItemStateInfo;
class IxoResource;
class StateInfo;

// One instrument of a document's bench, by its role ("generator", "scope", ...): where to reach
// it, and its list of saved states edited with the control's rules and messages - a name is
// given once, a renamed state moves to the end, a state restores and imports only on its own
// model and version, an import must be a state or setup file. Before each restore it keeps the
// instrument's present setup, unless told not to, so the restore can be taken back.
class IXO_EXPORT BenchRole {
public:
    // The role of a document that names none, such as every document of a single instrument.
    static const QString kDefaultName;

    // texts gives the messages and the names of new states.
    BenchRole(QString name, std::shared_ptr<IxoResource> texts,
              std::shared_ptr<StateInfo> states = nullptr);

    // Letters, digits, "-" and "_", starting with a letter.
    static bool isValidName(const QString &name);

    const QString &name() const { return m_name; }
    const QString &resource() const { return m_resource; }
    void setResource(const QString &resource) { m_resource = resource; }
    const QString &profile() const { return m_profile; }
    void setProfile(const QString &profile) { m_profile = profile; }
    // Whether a restore first captures the present setup (off for instruments slow to capture).
    bool safetyCapture() const { return m_safetyCapture; }
    void setSafetyCapture(bool on) { m_safetyCapture = on; }
    RestoreHistory &history() { return m_history; }
    const RestoreHistory &history() const { return m_history; }

    const std::shared_ptr<StateInfo> &stateInfo() const { return m_states; }
    int count() const;
    std::vector<std::shared_ptr<ItemStateInfo>> states() const;
    // The state of that name, or nullptr.
    std::shared_ptr<ItemStateInfo> find(const QString &name) const;
    // Raises InvalidProcedureCall when there is none.
    std::shared_ptr<ItemStateInfo> state(const QString &name) const;
    // Refuses a state of another model or version, as the control does.
    void checkFits(const ItemStateInfo &state, SetupInterface &instrument, bool importing) const;
    // Refuses a name the list holds already.
    void checkFree(const QString &name) const;
    QString newStateName() const;

    std::shared_ptr<ItemStateInfo> capture(SetupInterface &instrument,
                                           const std::optional<QString> &name,
                                           const QString &description);
    // A state captured elsewhere, checked as capture checks it.
    void add(const std::shared_ptr<ItemStateInfo> &state);
    void restore(SetupInterface &instrument, const QString &name);
    // A state kept elsewhere, such as an earlier version of one of the list's.
    void restore(SetupInterface &instrument, const ItemStateInfo &saved);
    void rename(const QString &name, const QString &newName,
                const std::optional<QString> &description);
    void remove(const QString &name);
    void exportState(const QString &name, const QString &fileName) const;
    // Reads a state or legacy setup file without adding it.
    std::shared_ptr<ItemStateInfo> readImport(const QString &fileName,
                                              SetupInterface &instrument) const;
    std::shared_ptr<ItemStateInfo> importState(const QString &fileName, SetupInterface &instrument,
                                               const std::optional<QString> &name);
    // Puts back the setup the last restore replaced; raises when there is none.
    RestoreHistory::Entry undoRestore(SetupInterface &instrument);

private:
    [[noreturn]] void nameTaken(const QString &name) const;

    QString m_name;
    std::shared_ptr<IxoResource> m_texts;
    std::shared_ptr<StateInfo> m_states;
    QString m_resource;
    QString m_profile;
    bool m_safetyCapture = true;
    RestoreHistory m_history;
};

} // namespace ixo
