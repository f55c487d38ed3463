#include "PythonDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "control/StateMessages.h"
#include "localization/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "model/StateReference.h"
#include "support/HostDocument.h"
#include "support/StateFile.h"

namespace ixo::python {

namespace {

const QString kSource = QStringLiteral("ixoinstrsetups.Document");

// The catalogue's texts end lines for message boxes.
QString plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

[[noreturn]] void fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kSource, plain(description));
}

QVariant refOf(const std::shared_ptr<ItemStateInfo> &state) {
    return QVariant::fromValue<ObjectRef>(state);
}

} // namespace

PythonDocument::PythonDocument()
    : m_states(std::make_shared<StateInfo>()) {}

std::shared_ptr<PythonDocument> PythonDocument::open(const QString &fileName) {
    auto document = std::make_shared<PythonDocument>();
    document->m_bag = HostDocument::load(fileName);
    document->m_fileName = fileName;
    if (!document->m_bag.contains(HostDocument::kStateListKey))
        return document;
    document->m_states = std::dynamic_pointer_cast<StateInfo>(
        document->m_bag.ReadProperty(HostDocument::kStateListKey).value<ObjectRef>());
    if (!document->m_states)
        fail(ErrorNumber::InvalidFileFormat,
             QStringLiteral("%1 holds no list of saved states").arg(fileName));
    return document;
}

void PythonDocument::save(const QString &fileName) {
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    if (target.isEmpty())
        fail(ErrorNumber::FileNotFound, QStringLiteral("The document has no file name yet"));
    m_bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(m_states));
    HostDocument::save(m_bag, target);
    m_fileName = target;
}

int PythonDocument::count() const {
    return m_states->Items()->Count();
}

std::vector<std::shared_ptr<ItemStateInfo>> PythonDocument::states() const {
    std::vector<std::shared_ptr<ItemStateInfo>> states;
    for (int i = 1; i <= count(); ++i)
        states.push_back(m_states->item(i));
    return states;
}

std::shared_ptr<ItemStateInfo> PythonDocument::state(const QString &name) const {
    if (!m_states->Items()->containsKey(name))
        fail(ErrorNumber::InvalidProcedureCall, QStringLiteral("No state named %1").arg(name));
    auto state =
        std::dynamic_pointer_cast<ItemStateInfo>(m_states->Items()->Item(name).value<ObjectRef>());
    if (!state)
        fail(ErrorNumber::TypeMismatch, QStringLiteral("%1 is no saved state").arg(name));
    return state;
}

void PythonDocument::nameTaken(const QString &name) {
    fail(ErrorNumber::DuplicateKey, name + CIxoResourcesDefault().LoadResString(233));
}

void PythonDocument::add(const std::shared_ptr<ItemStateInfo> &state) {
    m_states->Items()->Add(refOf(state), state->Name());
}

std::shared_ptr<ItemStateInfo> PythonDocument::capture(SetupInterface &instrument,
                                                       const std::optional<QString> &name,
                                                       const QString &description) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setModel(instrument.Model());
    state->setVersion(instrument.Version());
    state->setName(name ? *name
                        : m_states->firstFreeName(CIxoResourcesDefault().LoadResString(216)));
    state->setDescription(description);
    if (m_states->Items()->containsKey(state->Name()))
        nameTaken(state->Name());
    state->setData(instrument.CaptureState());
    add(state);
    return state;
}

void PythonDocument::restore(SetupInterface &instrument, const QString &name) const {
    const auto saved = state(name);
    if (!saved->matchesInstrument(instrument)) {
        CIxoResourcesDefault texts;
        fail(ErrorNumber::InvalidProcedureCall,
             StateMessages::restoreRefused(texts, saved->Model(), saved->Version()));
    }
    instrument.RestoreState(saved->data());
}

void PythonDocument::rename(const QString &name, const QString &newName,
                            const std::optional<QString> &description) {
    const auto saved = state(name);
    if (newName != name && m_states->Items()->containsKey(newName))
        nameTaken(newName);
    if (description)
        saved->setDescription(*description);
    if (newName != name) {
        // As in the control, a renamed state moves to the end of the list.
        m_states->Items()->Remove(name);
        saved->setName(newName);
        add(saved);
    }
}

void PythonDocument::remove(const QString &name) {
    state(name);
    m_states->Items()->Remove(name);
}

void PythonDocument::exportState(const QString &name, const QString &fileName) const {
    StateFile().SaveObject(state(name), fileName);
}

std::shared_ptr<ItemStateInfo> PythonDocument::importState(const QString &fileName,
                                                           SetupInterface &instrument,
                                                           const std::optional<QString> &name) {
    CIxoResourcesDefault texts;
    std::shared_ptr<ItemStateInfo> imported;
    try {
        imported = StateImport::read(
            fileName, StateFile().FileExtension(fileName),
            [&instrument]() -> SetupInterface & { return instrument; },
            [&] { return m_states->firstFreeName(texts.LoadResString(216)); });
    } catch (const AutomationError &error) {
        // The control's words, with the reason behind them.
        fail(error.number() == ErrorNumber::FileNotFound ? ErrorNumber::FileNotFound
                                                         : ErrorNumber::InvalidFileFormat,
             fileName + texts.LoadResString(229) + QStringLiteral(" (") + error.description() +
                 QLatin1Char(')'));
    }
    if (!imported)
        fail(ErrorNumber::InvalidFileFormat, fileName + texts.LoadResString(229));
    if (!imported->matchesInstrument(instrument))
        fail(ErrorNumber::InvalidProcedureCall,
             StateMessages::importRefused(texts, imported->Model(), imported->Version()));
    if (name)
        imported->setName(*name);
    if (m_states->Items()->containsKey(imported->Name()))
        fail(ErrorNumber::DuplicateKey, texts.LoadResString(226) + imported->Name() +
                                            texts.LoadResString(227) +
                                            QStringLiteral("\nGive it another name with name=."));
    add(imported);
    return imported;
}

QVariant PythonDocument::dataOf(const QString &reference) {
    return StateReference::dataOf(
        reference,
        [](const QString &document, const QString &name) {
            return open(document)->state(name)->data();
        },
        kSource);
}

} // namespace ixo::python
