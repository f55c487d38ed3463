#include "StoredDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/ScpiInstrument.h"
#include "library/LibraryAddress.h"

namespace ixo::python {

StoredDocument::StoredDocument(std::shared_ptr<IxoResource> texts)
    : m_file(std::move(texts)) {}

StoredDocument::StoredDocument(std::unique_ptr<DocumentStore> store,
                               std::shared_ptr<IxoResource> texts)
    : m_store(std::move(store))
    , m_file(std::move(texts)) {}

// A file's document saves itself, wherever it is saved next; only a library needs its store.
StoredDocument StoredDocument::open(const QString &location, std::shared_ptr<IxoResource> texts) {
    std::unique_ptr<DocumentStore> store = DocumentStore::open(location, texts);
    if (store->library())
        return StoredDocument(std::move(store), std::move(texts));
    StoredDocument stored(std::move(texts));
    stored.m_file = std::move(store->document());
    return stored;
}

QString StoredDocument::location() const {
    return m_store ? m_store->location() : m_file.fileName();
}

void StoredDocument::save(const QString &fileName) {
    if (m_store && (fileName.isEmpty() || fileName == m_store->location())) {
        m_store->save();
        return;
    }
    // Otherwise it would become a file named like an address.
    if (LibraryAddress::isLibraryAddress(fileName))
        throw AutomationError(ErrorNumber::InvalidProcedureCall, QStringLiteral("ixoinstrsetups"),
                              QStringLiteral("save() writes a document to a file, or back where "
                                             "it came from; ixo-states library import puts a "
                                             "file into a library"));
    document().save(fileName);
    if (m_store) {
        m_file = std::move(m_store->document());
        m_store.reset();
    }
}

void StoredDocument::recordRestore(const QString &role, const QString &state,
                                   SetupInterface &instrument) {
    if (m_store)
        m_store->recordRestore(role, state, ScpiInstrument::identityOf(instrument));
}

void StoredDocument::recordRestore(const BenchReport &report, const QString &state) {
    if (m_store)
        m_store->recordRestore(report, state);
}

} // namespace ixo::python
