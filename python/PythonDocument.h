#pragma once

#include "StoredDocument.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace ixo {
class ItemStateInfo;
} // namespace ixo

namespace ixo::python {

// A host document for Python, from a file (.ixs) or a setup library: the document model with the
// default catalogue's texts, working on one role of its bench (the only one, unless named). Only
// the hint of a refused import is Python's own.
class PythonDocument {
public:
    PythonDocument();
    PythonDocument(StoredDocument stored, QString role);

    // A file's path or a library's address.
    static std::shared_ptr<PythonDocument> open(const QString &location,
                                                const QString &role = QString());
    // Without a name back where it came from; a file is written atomically.
    void save(const QString &fileName = QString());
    // A library document records the restore in its audit trail.
    void restore(SetupInterface &instrument, const QString &name);

    QString location() const { return m_stored.location(); }
    BenchRole &role() { return m_stored.document().role(m_role); }
    const BenchRole &role() const { return m_stored.document().role(m_role); }
    std::shared_ptr<ItemStateInfo> importState(const QString &fileName, SetupInterface &instrument,
                                               const std::optional<QString> &name);

    // The data of a state file, or of a state given as "<document>:<name>".
    static QVariant dataOf(const QString &reference);

private:
    StoredDocument m_stored;
    QString m_role;
};

} // namespace ixo::python
