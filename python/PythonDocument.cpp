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
    : m_document(texts()) {}

PythonDocument::PythonDocument(StateDocument document, QString role)
    : m_document(std::move(document))
    , m_role(std::move(role)) {
    this->role();
}

std::shared_ptr<PythonDocument> PythonDocument::open(const QString &fileName, const QString &role) {
    return std::make_shared<PythonDocument>(StateDocument::open(fileName, texts()), role);
}

void PythonDocument::save(const QString &fileName) {
    m_document.save(fileName);
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

} // namespace ixo::python
