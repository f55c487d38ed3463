#pragma once

#include "model/StateDocument.h"
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

// A host document (.ixs) for Python: the document model with the default catalogue's texts;
// only the hint of a refused import is Python's own.
class PythonDocument {
public:
    PythonDocument();
    explicit PythonDocument(StateDocument document);

    static std::shared_ptr<PythonDocument> open(const QString &fileName);
    // Written atomically; without a name to the file it was opened from.
    void save(const QString &fileName = QString());

    const QString &fileName() const { return m_document.fileName(); }
    const std::shared_ptr<StateInfo> &stateInfo() const { return m_document.stateInfo(); }
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
    StateDocument m_document;
};

} // namespace ixo::python
