#pragma once

#include "library/DocumentStore.h"
#include "model/StateDocument.h"

#include <QString>
#include <memory>

namespace ixo {
class BenchReport;
class IxoResource;
class SetupInterface;
} // namespace ixo

namespace ixo::python {

// Where a script's document lives: a file, or a document of a setup library given by its
// address. Saved without a name it goes back there, a library getting only the changes; saved
// to a file name, it lives in that file from then on, as a file saved under another name does.
class StoredDocument {
public:
    // A new document, not saved anywhere yet.
    explicit StoredDocument(std::shared_ptr<IxoResource> texts);
    static StoredDocument open(const QString &location, std::shared_ptr<IxoResource> texts);

    StateDocument &document() { return m_store ? m_store->document() : m_file; }
    const StateDocument &document() const { return m_store ? m_store->document() : m_file; }
    // The file's path or the library's address; empty for a document never saved.
    QString location() const;
    void save(const QString &fileName);
    // In a library's audit trail; nothing for a file.
    void recordRestore(const QString &role, const QString &state, SetupInterface &instrument);
    void recordRestore(const BenchReport &report, const QString &state);

private:
    StoredDocument(std::unique_ptr<DocumentStore> store, std::shared_ptr<IxoResource> texts);

    // Only while the document is a library's.
    std::unique_ptr<DocumentStore> m_store;
    StateDocument m_file;
};

} // namespace ixo::python
