#pragma once

#include "automation/PropertyBag.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace ixo {
class ItemStateInfo;
class StateInfo;
} // namespace ixo

namespace ixo::python {

// A host document (.ixs) and its list of saved states, edited with the control's rules: a
// name is given once, a state restores and imports only on its own model and version, an
// import must be a state or setup file. Whatever else the document holds is kept on save.
class PythonDocument {
public:
    PythonDocument();

    static std::shared_ptr<PythonDocument> open(const QString &fileName);
    // Written atomically; without a name to the file it was opened from.
    void save(const QString &fileName = QString());

    const QString &fileName() const { return m_fileName; }
    const std::shared_ptr<StateInfo> &stateInfo() const { return m_states; }
    int count() const;
    std::vector<std::shared_ptr<ItemStateInfo>> states() const;
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
    static QVariant dataOf(const QString &reference);

private:
    void add(const std::shared_ptr<ItemStateInfo> &state);
    [[noreturn]] static void nameTaken(const QString &name);

    PropertyBag m_bag;
    std::shared_ptr<StateInfo> m_states;
    QString m_fileName;
};

} // namespace ixo::python
