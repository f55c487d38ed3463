#pragma once

#include "automation/AutomationError.h"
#include "automation/PropertyBag.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace ixo {

class ItemStateInfo;
class IxoResource;
class StateInfo;

// A change the list's rules refuse: a name already taken, or a state of another instrument.
// Nothing was changed.
class RefusedChange : public AutomationError {
public:
    using AutomationError::AutomationError;
};

// A host document (.ixs) and its list of saved states, edited with the control's rules and
// messages: a name is given once, a renamed state moves to the end, a state restores and
// imports only on its own model and version, an import must be a state or setup file. Opening
// refuses a document of a newer format and changes nothing; saving keeps the previous file as
// "<name>.bak" and writes atomically; properties the document holds for others are kept.
class StateDocument {
public:
    // The document format written; later ones are refused.
    static constexpr int kFormatVersion = 1;
    static const QString kFormatVersionKey;

    // An empty document; texts gives the messages and the names of new states.
    explicit StateDocument(std::shared_ptr<IxoResource> texts);

    static StateDocument open(const QString &fileName, std::shared_ptr<IxoResource> texts);
    // Without a name, to the file it was opened from or last saved to.
    void save(const QString &fileName = QString());

    // For hosts that keep more in the document: reads a document's properties, refusing a
    // newer format; writes them with the format version, a backup and an atomic replace.
    static PropertyBag load(const QString &fileName);
    static void write(PropertyBag bag, const QString &fileName);
    static QString backupName(const QString &fileName);
    // The list of a loaded document; an empty one when it holds none.
    static std::shared_ptr<StateInfo> stateListOf(const PropertyBag &bag, const QString &fileName);

    const QString &fileName() const { return m_fileName; }
    const std::shared_ptr<StateInfo> &stateInfo() const { return m_states; }
    int count() const;
    std::vector<std::shared_ptr<ItemStateInfo>> states() const;
    // The state of that name, or nullptr.
    std::shared_ptr<ItemStateInfo> find(const QString &name) const;
    // Raises InvalidProcedureCall when there is none.
    std::shared_ptr<ItemStateInfo> state(const QString &name) const;

    std::shared_ptr<ItemStateInfo> capture(SetupInterface &instrument,
                                           const std::optional<QString> &name,
                                           const QString &description);
    void restore(SetupInterface &instrument, const QString &name) const;
    void rename(const QString &name, const QString &newName,
                const std::optional<QString> &description);
    void remove(const QString &name);
    void exportState(const QString &name, const QString &fileName) const;
    std::shared_ptr<ItemStateInfo> importState(const QString &fileName, SetupInterface &instrument,
                                               const std::optional<QString> &name);

    // The data of a state file, or of a state given as "<document>:<name>".
    static QVariant dataOf(const QString &reference, const std::shared_ptr<IxoResource> &texts);

private:
    void add(const std::shared_ptr<ItemStateInfo> &state);
    [[noreturn]] void nameTaken(const QString &name) const;
    QString newStateName() const;

    std::shared_ptr<IxoResource> m_texts;
    PropertyBag m_bag;
    std::shared_ptr<StateInfo> m_states;
    QString m_fileName;
};

} // namespace ixo
