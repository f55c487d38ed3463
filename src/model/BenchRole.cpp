#include "model/BenchRole.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "locale/IxoResource.h"
#include "locale/TextId.h"
#include "model/DocumentErrors.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "model/StateMessages.h"
#include "support/StateFile.h"

#include <QRegularExpression>

namespace ixo {

namespace {

QVariant refOf(const std::shared_ptr<ItemStateInfo> &state) {
    return QVariant::fromValue<ObjectRef>(state);
}

} // namespace

const QString BenchRole::kDefaultName = QStringLiteral("instrument");

BenchRole::BenchRole(QString name, std::shared_ptr<IxoResource> texts,
                     std::shared_ptr<StateInfo> states)
    : m_name(std::move(name))
    , m_texts(std::move(texts))
    , m_states(states ? std::move(states) : std::make_shared<StateInfo>()) {}

bool BenchRole::isValidName(const QString &name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_-]{0,63}$"));
    return pattern.match(name).hasMatch();
}

int BenchRole::count() const {
    return m_states->Items()->Count();
}

std::vector<std::shared_ptr<ItemStateInfo>> BenchRole::states() const {
    std::vector<std::shared_ptr<ItemStateInfo>> states;
    for (int i = 1; i <= count(); ++i)
        states.push_back(m_states->item(i));
    return states;
}

std::shared_ptr<ItemStateInfo> BenchRole::find(const QString &name) const {
    return m_states->find(name);
}

std::shared_ptr<ItemStateInfo> BenchRole::state(const QString &name) const {
    auto found = find(name);
    if (!found)
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No state named %1").arg(name));
    return found;
}

void BenchRole::checkFits(const ItemStateInfo &state, SetupInterface &instrument,
                          bool importing) const {
    if (state.matchesInstrument(instrument))
        return;
    DocumentErrors::refuse(
        ErrorNumber::InvalidProcedureCall,
        importing ? StateMessages::importRefused(*m_texts, state.Model(), state.Version())
                  : StateMessages::restoreRefused(*m_texts, state.Model(), state.Version()));
}

void BenchRole::checkFree(const QString &name) const {
    if (m_states->Items()->containsKey(name))
        nameTaken(name);
}

void BenchRole::nameTaken(const QString &name) const {
    DocumentErrors::refuse(ErrorNumber::DuplicateKey,
                           name + m_texts->LoadResString(TextId::kNameTaken));
}

QString BenchRole::newStateName() const {
    return m_states->firstFreeName(m_texts->LoadResString(TextId::kNewStateNamePrefix));
}

void BenchRole::add(const std::shared_ptr<ItemStateInfo> &state) {
    checkFree(state->Name());
    m_states->Items()->Add(refOf(state), state->Name());
}

std::shared_ptr<ItemStateInfo> BenchRole::capture(SetupInterface &instrument,
                                                  const std::optional<QString> &name,
                                                  const QString &description) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setModel(instrument.Model());
    state->setVersion(instrument.Version());
    state->setName(name ? *name : newStateName());
    state->setDescription(description);
    checkFree(state->Name());
    state->setData(instrument.CaptureState());
    add(state);
    return state;
}

// The present setup is kept first: a restore that fails part-way has changed the instrument
// already.
void BenchRole::restore(SetupInterface &instrument, const QString &name) {
    restore(instrument, *state(name));
}

void BenchRole::restore(SetupInterface &instrument, const ItemStateInfo &saved) {
    checkFits(saved, instrument, false);
    if (m_safetyCapture) {
        try {
            m_history.push(RestoreHistory::capture(instrument, saved.Name()));
        } catch (const AutomationError &error) {
            // The instrument's own number and source, so a script can still tell the fault.
            throw AutomationError(
                error.number(), error.source(),
                QStringLiteral("Could not keep the present setup of %1 before the restore, so "
                               "nothing was restored (the safety capture can be turned off for "
                               "this instrument): %2")
                    .arg(m_name, error.description()));
        }
    }
    instrument.RestoreState(saved.data());
}

void BenchRole::rename(const QString &name, const QString &newName,
                       const std::optional<QString> &description) {
    const auto saved = state(name);
    if (newName != name)
        checkFree(newName);
    if (description)
        saved->setDescription(*description);
    if (newName != name) {
        // A renamed state moves to the end of the list.
        m_states->Items()->Remove(name);
        saved->setName(newName);
        m_states->Items()->Add(refOf(saved), newName);
    }
}

void BenchRole::remove(const QString &name) {
    state(name);
    m_states->Items()->Remove(name);
}

void BenchRole::exportState(const QString &name, const QString &fileName) const {
    StateFile().SaveObject(state(name), fileName);
}

std::shared_ptr<ItemStateInfo> BenchRole::readImport(const QString &fileName,
                                                     SetupInterface &instrument) const {
    std::shared_ptr<ItemStateInfo> imported;
    try {
        imported = StateImport::read(
            fileName, StateFile().FileExtension(fileName),
            [&instrument]() -> SetupInterface & { return instrument; },
            [this] { return newStateName(); });
    } catch (const AutomationError &error) {
        // The control's words, with the reason behind them.
        DocumentErrors::fail(error.number() == ErrorNumber::FileNotFound
                                 ? ErrorNumber::FileNotFound
                                 : ErrorNumber::InvalidFileFormat,
                             fileName + m_texts->LoadResString(TextId::kNotAStateFile) +
                                 QStringLiteral(" (") + error.description() + QLatin1Char(')'));
    }
    if (!imported)
        DocumentErrors::fail(ErrorNumber::InvalidFileFormat,
                             fileName + m_texts->LoadResString(TextId::kNotAStateFile));
    return imported;
}

std::shared_ptr<ItemStateInfo> BenchRole::importState(const QString &fileName,
                                                      SetupInterface &instrument,
                                                      const std::optional<QString> &name) {
    auto imported = readImport(fileName, instrument);
    checkFits(*imported, instrument, true);
    if (name)
        imported->setName(*name);
    if (m_states->Items()->containsKey(imported->Name()))
        DocumentErrors::refuse(ErrorNumber::DuplicateKey,
                               m_texts->LoadResString(TextId::kImportNameTakenBefore) +
                                   imported->Name() +
                                   m_texts->LoadResString(TextId::kImportNameTakenAfter));
    add(imported);
    return imported;
}

RestoreHistory::Entry BenchRole::undoRestore(SetupInterface &instrument) {
    if (m_history.isEmpty())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No restore of %1 is kept to take back").arg(m_name));
    const RestoreHistory::Entry entry = m_history.last();
    if (instrument.Model() != entry.model || instrument.Version() != entry.version)
        DocumentErrors::refuse(
            ErrorNumber::InvalidProcedureCall,
            QStringLiteral("The setup kept before the last restore of %1 is for %2, version %3, "
                           "which is not the connected instrument. Nothing was restored.")
                .arg(m_name, entry.model, entry.version));
    instrument.RestoreState(entry.data);
    m_history.dropLast();
    return entry;
}

} // namespace ixo
