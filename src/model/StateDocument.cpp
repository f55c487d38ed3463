#include "model/StateDocument.h"

#include "automation/ErrorNumber.h"
#include "locale/IxoResource.h"
#include "locale/TextId.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "model/StateMessages.h"
#include "model/StateReference.h"
#include "support/FileIo.h"
#include "support/HostDocument.h"
#include "support/StateFile.h"

#include <QFile>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.StateDocument");

// The catalogue's texts end lines for message boxes.
QString plain(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

[[noreturn]] void fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kSource, plain(description));
}

[[noreturn]] void refuse(std::int32_t number, const QString &description) {
    throw RefusedChange(number, kSource, plain(description));
}

QVariant refOf(const std::shared_ptr<ItemStateInfo> &state) {
    return QVariant::fromValue<ObjectRef>(state);
}

} // namespace

const QString StateDocument::kFormatVersionKey = QStringLiteral("FormatVersion");

StateDocument::StateDocument(std::shared_ptr<IxoResource> texts)
    : m_texts(std::move(texts))
    , m_states(std::make_shared<StateInfo>()) {}

PropertyBag StateDocument::load(const QString &fileName) {
    PropertyBag bag;
    try {
        bag = HostDocument::load(fileName);
    } catch (const AutomationError &error) {
        // A file of another kind says so first; the decoder's reason follows.
        if (error.number() != ErrorNumber::InvalidFileFormat)
            throw;
        fail(error.number(), QStringLiteral("%1 is not an IxoInstrSetups document: %2")
                                 .arg(fileName, error.description()));
    }
    const int version = bag.ReadProperty(kFormatVersionKey, kFormatVersion).toInt();
    if (version > kFormatVersion)
        fail(ErrorNumber::InvalidFileFormat,
             QStringLiteral("%1 was saved by a newer version of IxoInstrSetups (document format "
                            "%2; this version reads up to %3). Nothing was changed.")
                 .arg(fileName)
                 .arg(version)
                 .arg(kFormatVersion));
    return bag;
}

void StateDocument::write(PropertyBag bag, const QString &fileName) {
    bag.WriteProperty(kFormatVersionKey, kFormatVersion);
    if (QFile::exists(fileName)) {
        // The previous version is kept whole before the new one replaces it.
        const QByteArray previous =
            FileIo::readLimited(fileName, HostDocument::kMaxFileSize, kSource);
        FileIo::writeAtomically(backupName(fileName), previous, kSource);
    }
    HostDocument::save(bag, fileName);
}

QString StateDocument::backupName(const QString &fileName) {
    return fileName + QStringLiteral(".bak");
}

std::shared_ptr<StateInfo> StateDocument::stateListOf(const PropertyBag &bag,
                                                      const QString &fileName) {
    if (!bag.contains(HostDocument::kStateListKey))
        return std::make_shared<StateInfo>();
    auto states = std::dynamic_pointer_cast<StateInfo>(
        bag.ReadProperty(HostDocument::kStateListKey).value<ObjectRef>());
    if (!states)
        fail(ErrorNumber::InvalidFileFormat,
             QStringLiteral("%1 holds no list of saved states").arg(fileName));
    return states;
}

StateDocument StateDocument::open(const QString &fileName, std::shared_ptr<IxoResource> texts) {
    StateDocument document(std::move(texts));
    document.m_bag = load(fileName);
    document.m_states = stateListOf(document.m_bag, fileName);
    document.m_fileName = fileName;
    return document;
}

void StateDocument::save(const QString &fileName) {
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    if (target.isEmpty())
        fail(ErrorNumber::FileNotFound, QStringLiteral("The document has no file name yet"));
    m_bag.WriteProperty(HostDocument::kStateListKey, QVariant::fromValue<ObjectRef>(m_states));
    write(m_bag, target);
    m_fileName = target;
}

int StateDocument::count() const {
    return m_states->Items()->Count();
}

std::vector<std::shared_ptr<ItemStateInfo>> StateDocument::states() const {
    std::vector<std::shared_ptr<ItemStateInfo>> states;
    for (int i = 1; i <= count(); ++i)
        states.push_back(m_states->item(i));
    return states;
}

std::shared_ptr<ItemStateInfo> StateDocument::find(const QString &name) const {
    return m_states->find(name);
}

std::shared_ptr<ItemStateInfo> StateDocument::state(const QString &name) const {
    auto found = find(name);
    if (!found)
        fail(ErrorNumber::InvalidProcedureCall, QStringLiteral("No state named %1").arg(name));
    return found;
}

void StateDocument::nameTaken(const QString &name) const {
    refuse(ErrorNumber::DuplicateKey, name + m_texts->LoadResString(TextId::kNameTaken));
}

QString StateDocument::newStateName() const {
    return m_states->firstFreeName(m_texts->LoadResString(TextId::kNewStateNamePrefix));
}

void StateDocument::add(const std::shared_ptr<ItemStateInfo> &state) {
    m_states->Items()->Add(refOf(state), state->Name());
}

std::shared_ptr<ItemStateInfo> StateDocument::capture(SetupInterface &instrument,
                                                      const std::optional<QString> &name,
                                                      const QString &description) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setModel(instrument.Model());
    state->setVersion(instrument.Version());
    state->setName(name ? *name : newStateName());
    state->setDescription(description);
    if (m_states->Items()->containsKey(state->Name()))
        nameTaken(state->Name());
    state->setData(instrument.CaptureState());
    add(state);
    return state;
}

void StateDocument::restore(SetupInterface &instrument, const QString &name) const {
    const auto saved = state(name);
    if (!saved->matchesInstrument(instrument))
        refuse(ErrorNumber::InvalidProcedureCall,
               StateMessages::restoreRefused(*m_texts, saved->Model(), saved->Version()));
    instrument.RestoreState(saved->data());
}

void StateDocument::rename(const QString &name, const QString &newName,
                           const std::optional<QString> &description) {
    const auto saved = state(name);
    if (newName != name && m_states->Items()->containsKey(newName))
        nameTaken(newName);
    if (description)
        saved->setDescription(*description);
    if (newName != name) {
        // A renamed state moves to the end of the list.
        m_states->Items()->Remove(name);
        saved->setName(newName);
        add(saved);
    }
}

void StateDocument::remove(const QString &name) {
    state(name);
    m_states->Items()->Remove(name);
}

void StateDocument::exportState(const QString &name, const QString &fileName) const {
    StateFile().SaveObject(state(name), fileName);
}

std::shared_ptr<ItemStateInfo> StateDocument::importState(const QString &fileName,
                                                          SetupInterface &instrument,
                                                          const std::optional<QString> &name) {
    std::shared_ptr<ItemStateInfo> imported;
    try {
        imported = StateImport::read(
            fileName, StateFile().FileExtension(fileName),
            [&instrument]() -> SetupInterface & { return instrument; },
            [this] { return newStateName(); });
    } catch (const AutomationError &error) {
        // The control's words, with the reason behind them.
        fail(error.number() == ErrorNumber::FileNotFound ? ErrorNumber::FileNotFound
                                                         : ErrorNumber::InvalidFileFormat,
             fileName + m_texts->LoadResString(TextId::kNotAStateFile) + QStringLiteral(" (") +
                 error.description() + QLatin1Char(')'));
    }
    if (!imported)
        fail(ErrorNumber::InvalidFileFormat,
             fileName + m_texts->LoadResString(TextId::kNotAStateFile));
    if (!imported->matchesInstrument(instrument))
        refuse(ErrorNumber::InvalidProcedureCall,
               StateMessages::importRefused(*m_texts, imported->Model(), imported->Version()));
    if (name)
        imported->setName(*name);
    if (m_states->Items()->containsKey(imported->Name()))
        refuse(ErrorNumber::DuplicateKey,
               m_texts->LoadResString(TextId::kImportNameTakenBefore) + imported->Name() +
                   m_texts->LoadResString(TextId::kImportNameTakenAfter));
    add(imported);
    return imported;
}

QVariant StateDocument::dataOf(const QString &reference,
                               const std::shared_ptr<IxoResource> &texts) {
    return StateReference::dataOf(
        reference,
        [&texts](const QString &document, const QString &name) {
            return open(document, texts).state(name)->data();
        },
        kSource);
}

} // namespace ixo
