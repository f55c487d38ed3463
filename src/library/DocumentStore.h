#pragma once

#include "automation/Export.h"
#include "model/StateDocument.h"

#include <QString>
#include <memory>

namespace ixo {

class BenchReport;
class IxoResource;
class LibraryDocument;

// Where a host keeps its document: a file, or a document of a setup library given by its
// address (sqlite:PATH?document=NAME, postgresql://...?document=NAME). Hosts open, change and
// save a document the same way wherever it is.
class IXO_EXPORT DocumentStore {
public:
    enum class Missing { Fails, IsCreated };

    virtual ~DocumentStore() = default;

    static std::unique_ptr<DocumentStore> open(const QString &location,
                                               std::shared_ptr<IxoResource> texts,
                                               Missing missing = Missing::Fails);

    virtual StateDocument &document() = 0;
    // A file is replaced atomically; a library gets the changes since it was read.
    virtual void save() = 0;
    // The file's path or the library's address, as the user gave it.
    virtual const QString &location() const = 0;
    // The library's document, or nullptr for a file.
    virtual LibraryDocument *library() { return nullptr; }

    // Records in a library's audit trail that a state (its present version unless given) was
    // restored to an instrument, named by its *IDN? or resource; a file keeps no trail.
    virtual void recordRestore(const QString &role, const QString &state, const QString &instrument,
                               int version = 0);
    // Each role a bench restore reached, named by its resource and the model and firmware the
    // restore checked.
    void recordRestore(const BenchReport &report, const QString &state);
};

} // namespace ixo
