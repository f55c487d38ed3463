#include "PythonDocument.h"

#include "automation/ErrorNumber.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"

namespace ixo::python {

namespace {

std::shared_ptr<IxoResource> texts() {
    return std::make_shared<CIxoResourcesDefault>();
}

} // namespace

PythonDocument::PythonDocument()
    : m_stored(texts()) {}

PythonDocument::PythonDocument(StoredDocument stored, QString role)
    : m_stored(std::move(stored))
    , m_role(std::move(role)) {
    this->role();
}

std::shared_ptr<PythonDocument> PythonDocument::open(const QString &location, const QString &role) {
    return std::make_shared<PythonDocument>(StoredDocument::open(location, texts()), role);
}

void PythonDocument::save(const QString &fileName) {
    m_stored.save(fileName);
}

std::shared_ptr<ItemStateInfo> PythonDocument::importState(const QString &fileName,
                                                           SetupInterface &instrument,
                                                           const std::optional<QString> &name) {
    try {
        return role().importState(fileName, instrument, name);
    } catch (const RefusedChange &refusal) {
        if (refusal.number() != ErrorNumber::DuplicateKey)
            throw;
        throw RefusedChange(refusal.number(), refusal.source(),
                            refusal.description() +
                                QStringLiteral("\nGive it another name with name=."));
    }
}

QVariant PythonDocument::dataOf(const QString &reference) {
    return StateDocument::dataOf(reference, texts());
}

void PythonDocument::restore(SetupInterface &instrument, const QString &name) {
    role().restore(instrument, name);
    m_stored.recordRestore(role().name(), name, instrument);
}

} // namespace ixo::python
