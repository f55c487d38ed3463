#include "library/DocumentStore.h"

#include "automation/ErrorNumber.h"
#include "library/LibraryAddress.h"
#include "library/LibraryAudit.h"
#include "library/LibraryDocument.h"
#include "library/LibraryErrors.h"
#include "library/SetupLibrary.h"
#include "model/BenchReport.h"
#include "model/ItemStateInfo.h"

#include <QFileInfo>

namespace ixo {

namespace {

class FileStore : public DocumentStore {
public:
    FileStore(QString fileName, std::shared_ptr<IxoResource> texts, Missing missing)
        : m_fileName(std::move(fileName))
        , m_document(open(m_fileName, std::move(texts), missing)) {}

    StateDocument &document() override { return m_document; }
    void save() override { m_document.save(m_fileName); }
    const QString &location() const override { return m_fileName; }

private:
    static StateDocument open(const QString &fileName, std::shared_ptr<IxoResource> texts,
                              Missing missing) {
        if (QFileInfo::exists(fileName))
            return StateDocument::open(fileName, std::move(texts));
        if (missing == Missing::Fails)
            LibraryErrors::fail(ErrorNumber::FileNotFound,
                                QStringLiteral("%1 does not exist").arg(fileName));
        return StateDocument(std::move(texts));
    }

    QString m_fileName;
    StateDocument m_document;
};

class LibraryStore : public DocumentStore {
public:
    LibraryStore(const LibraryAddress &address, std::shared_ptr<IxoResource> texts, Missing missing)
        : m_address(address.text())
        , m_library(std::make_unique<SetupLibrary>(address, schemaMissing(missing)))
        , m_document(*m_library, address.document()) {
        m_document.read(std::move(texts), schemaMissing(missing));
    }

    StateDocument &document() override { return m_document.document(); }
    void save() override { m_document.save(); }
    const QString &location() const override { return m_address; }
    LibraryDocument *library() override { return &m_document; }

    void recordRestore(const QString &role, const QString &state, const QString &instrument,
                       int version) override {
        LibraryAudit(m_document.library())
            .record({m_document.name(), role, state,
                     version ? version : m_document.versionOf(role, state), instrument,
                     ChangeRecord::here()});
    }

private:
    static LibrarySchema::Missing schemaMissing(Missing missing) {
        return missing == Missing::Fails ? LibrarySchema::Missing::Fails
                                         : LibrarySchema::Missing::IsCreated;
    }

    QString m_address;
    std::unique_ptr<SetupLibrary> m_library;
    LibraryDocument m_document;
};

} // namespace

void DocumentStore::recordRestore(const QString &, const QString &, const QString &, int) {}

void DocumentStore::recordRestore(const BenchReport &report, const QString &state) {
    for (const QString &name : report.restoredRoles()) {
        const BenchRole &role = document().role(name);
        const auto restored = role.state(state);
        recordRestore(name, state,
                      QStringLiteral("%1 (%2 %3)")
                          .arg(role.resource(), restored->Model(), restored->Version()));
    }
}

std::unique_ptr<DocumentStore>
DocumentStore::open(const QString &location, std::shared_ptr<IxoResource> texts, Missing missing) {
    if (!LibraryAddress::isLibraryAddress(location))
        return std::make_unique<FileStore>(location, std::move(texts), missing);
    const LibraryAddress address = LibraryAddress::parse(location);
    if (address.document().isEmpty())
        LibraryErrors::fail(ErrorNumber::InvalidProcedureCall,
                            QStringLiteral("%1 names no document: add ?document=NAME (ixo-states "
                                           "library list shows the library's documents)")
                                .arg(location));
    return std::make_unique<LibraryStore>(address, std::move(texts), missing);
}

} // namespace ixo
