#pragma once

#include "model/StateDocument.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace ixo {
class ItemStateInfo;
} // namespace ixo

namespace ixo::python {

// A host document (.ixs) for Python: the document model with the default catalogue's texts,
// working on one role of its bench (the only one, unless named). Only the hint of a refused
// import is Python's own.
class PythonDocument {
public:
    PythonDocument();
    PythonDocument(StateDocument document, QString role);

    static std::shared_ptr<PythonDocument> open(const QString &fileName,
                                                const QString &role = QString());
    // Written atomically; without a name to the file it was opened from.
    void save(const QString &fileName = QString());

    const QString &fileName() const { return m_document.fileName(); }
    BenchRole &role() { return m_document.role(m_role); }
    const BenchRole &role() const { return m_document.role(m_role); }
    std::shared_ptr<ItemStateInfo> importState(const QString &fileName, SetupInterface &instrument,
                                               const std::optional<QString> &name);

    // The data of a state file, or of a state given as "<document>:<name>".
    static QVariant dataOf(const QString &reference);

private:
    StateDocument m_document;
    QString m_role;
};

} // namespace ixo::python
