#include "PythonDocument.h"

#include "automation/ErrorNumber.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"

namespace ixo::python {

namespace {

std::shared_ptr<IxoResource> texts() {
    return std::make_shared<CIxoResourcesDefault>();
}

} // namespace

PythonDocument::PythonDocument()
    : m_document(texts()) {}

PythonDocument::PythonDocument(StateDocument document)
    : m_document(std::move(document)) {}

std::shared_ptr<PythonDocument> PythonDocument::open(const QString &fileName) {
    return std::make_shared<PythonDocument>(StateDocument::open(fileName, texts()));
}

void PythonDocument::save(const QString &fileName) {
    m_document.save(fileName);
}

int PythonDocument::count() const {
    return m_document.count();
}

std::vector<std::shared_ptr<ItemStateInfo>> PythonDocument::states() const {
    return m_document.states();
}

std::shared_ptr<ItemStateInfo> PythonDocument::state(const QString &name) const {
    return m_document.state(name);
}

std::shared_ptr<ItemStateInfo> PythonDocument::capture(SetupInterface &instrument,
                                                       const std::optional<QString> &name,
                                                       const QString &description) {
    return m_document.capture(instrument, name, description);
}

void PythonDocument::restore(SetupInterface &instrument, const QString &name) const {
    m_document.restore(instrument, name);
}

void PythonDocument::rename(const QString &name, const QString &newName,
                            const std::optional<QString> &description) {
    m_document.rename(name, newName, description);
}

void PythonDocument::remove(const QString &name) {
    m_document.remove(name);
}

void PythonDocument::exportState(const QString &name, const QString &fileName) const {
    m_document.exportState(name, fileName);
}

std::shared_ptr<ItemStateInfo> PythonDocument::importState(const QString &fileName,
                                                           SetupInterface &instrument,
                                                           const std::optional<QString> &name) {
    try {
        return m_document.importState(fileName, instrument, name);
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
