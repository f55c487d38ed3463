#include "model/BenchStates.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/BenchRole.h"
#include "model/BenchStateFile.h"
#include "model/DocumentErrors.h"
#include "model/ItemStateInfo.h"
#include "model/RefusedChange.h"
#include "model/StateDocument.h"

#include <QThread>
#include <future>

namespace ixo {

namespace {

struct Captured {
    std::shared_ptr<ItemStateInfo> state;
    QString failure;
};

Captured captureOn(const SetupInterfaceRef &instrument, const QString &name,
                   const QString &description) {
    try {
        if (!instrument)
            return {nullptr, QStringLiteral("no instrument")};
        auto state = std::make_shared<ItemStateInfo>();
        state->setName(name);
        state->setDescription(description);
        state->setModel(instrument->Model());
        state->setVersion(instrument->Version());
        state->setData(instrument->CaptureState());
        // Let go of this short-lived thread, so that the thread keeping the lists can take it.
        state->moveToThread(nullptr);
        return {std::move(state), QString()};
    } catch (const AutomationError &error) {
        return {nullptr, error.description()};
    }
}

SetupInterfaceRef open(const BenchStates::Instruments &instruments, const BenchRole &role) {
    try {
        return instruments(role);
    } catch (const AutomationError &error) {
        DocumentErrors::fail(error.number(), QStringLiteral("%1 (%2): %3")
                                                 .arg(role.name(), BenchStates::describe(role),
                                                      error.description()));
    }
}

} // namespace

BenchStates::BenchStates(StateDocument &document)
    : m_document(document) {}

QString BenchStates::describe(const BenchRole &role) {
    return role.resource().isEmpty() ? QStringLiteral("the default instrument") : role.resource();
}

QStringList BenchStates::names() const {
    QStringList names;
    for (const BenchRole &role : m_document.roles()) {
        for (const auto &state : role.states()) {
            if (!names.contains(state->Name(), Qt::CaseInsensitive))
                names << state->Name();
        }
    }
    return names;
}

QStringList BenchStates::rolesWith(const QString &name) const {
    QStringList roles;
    for (const BenchRole *role : rolesHaving(name))
        roles << role->name();
    return roles;
}

std::vector<BenchRole *> BenchStates::rolesHaving(const QString &name) const {
    std::vector<BenchRole *> roles;
    for (const BenchRole &role : m_document.roles()) {
        if (role.find(name))
            roles.push_back(const_cast<BenchRole *>(&role));
    }
    return roles;
}

// Each instrument is asked on a thread of its own; the lists change only after every capture
// has come back.
void BenchStates::capture(const Instruments &instruments, const QString &name,
                          const QString &description, const Progress &answered) {
    commit(collect(instruments, name, description, answered));
}

BenchStates::Captures BenchStates::collect(const Instruments &instruments, const QString &name,
                                           const QString &description,
                                           const Progress &answered) const {
    const std::vector<BenchRole> &roles = m_document.roles();
    for (const BenchRole &role : roles)
        role.checkFree(name);
    std::vector<SetupInterfaceRef> opened;
    for (const BenchRole &role : roles)
        opened.push_back(open(instruments, role));
    std::vector<std::future<Captured>> pending;
    for (std::size_t i = 0; i < roles.size(); ++i)
        pending.push_back(std::async(std::launch::async, [&, i] {
            Captured captured = captureOn(opened[i], name, description);
            if (answered)
                answered(roles[i]);
            return captured;
        }));
    Captures states;
    QStringList failures;
    for (std::size_t i = 0; i < pending.size(); ++i) {
        Captured captured = pending[i].get();
        if (!captured.state)
            failures << QStringLiteral("%1 (%2): %3")
                            .arg(roles[i].name(), describe(roles[i]), captured.failure);
        states.push_back(std::move(captured.state));
    }
    if (!failures.isEmpty())
        DocumentErrors::fail(
            ErrorNumber::Fail,
            QStringLiteral("Bench state %1 was not captured; no list changed.\n").arg(name) +
                failures.join(QLatin1Char('\n')));
    return states;
}

void BenchStates::commit(const Captures &states) {
    const std::vector<BenchRole> &roles = m_document.roles();
    if (states.size() != roles.size())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("The bench changed while its state was captured; "
                                            "no list changed."));
    for (std::size_t i = 0; i < roles.size(); ++i)
        roles[i].checkFree(states[i]->Name());
    for (std::size_t i = 0; i < roles.size(); ++i) {
        // Made on a capturing thread that is gone; the lists' thread takes them.
        states[i]->moveToThread(QThread::currentThread());
        m_document.role(roles[i].name()).add(states[i]);
    }
}

BenchReport BenchStates::restore(const Instruments &instruments, const QString &name,
                                 const Progress &restoring) {
    if (rolesHaving(name).empty())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No bench state named %1").arg(name));
    BenchReport report;
    bool stopped = false;
    for (const BenchRole &constRole : m_document.roles()) {
        BenchRole &role = m_document.role(constRole.name());
        if (!role.find(name)) {
            report.add(role.name(), BenchReport::Result::NoSuchState);
        } else if (stopped) {
            report.add(role.name(), BenchReport::Result::NotReached);
        } else {
            try {
                if (restoring)
                    restoring(role);
                role.restore(*open(instruments, role), name);
                report.add(role.name(), BenchReport::Result::Restored);
            } catch (const AutomationError &error) {
                report.add(role.name(), BenchReport::Result::Failed, error.description());
                stopped = true;
            }
        }
    }
    return report;
}

void BenchStates::rename(const QString &name, const QString &newName,
                         const std::optional<QString> &description) {
    const std::vector<BenchRole *> roles = rolesHaving(name);
    if (roles.empty())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No bench state named %1").arg(name));
    if (newName != name) {
        for (const BenchRole *role : roles)
            role->checkFree(newName);
    }
    for (BenchRole *role : roles)
        role->rename(name, newName, description);
}

void BenchStates::remove(const QString &name) {
    const std::vector<BenchRole *> roles = rolesHaving(name);
    if (roles.empty())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No bench state named %1").arg(name));
    for (BenchRole *role : roles)
        role->remove(name);
}

void BenchStates::exportTo(const QString &name, const QString &fileName) const {
    std::vector<BenchStateFile::RoleState> states;
    for (const BenchRole *role : rolesHaving(name))
        states.emplace_back(role->name(), role->find(name));
    if (states.empty())
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("No bench state named %1").arg(name));
    BenchStateFile::save(states, fileName);
}

QString BenchStates::importFrom(const QString &fileName, const Instruments &instruments,
                                const std::optional<QString> &name) {
    std::vector<BenchStateFile::RoleState> states = BenchStateFile::load(fileName);
    std::vector<BenchRole *> targets;
    for (auto &[roleName, state] : states) {
        BenchRole *role = m_document.findRole(roleName);
        if (!role)
            DocumentErrors::refuse(ErrorNumber::InvalidProcedureCall,
                                   QStringLiteral("%1 holds a state for the %2, which this bench "
                                                  "has not. Nothing was imported.")
                                       .arg(fileName, roleName));
        if (std::find(targets.begin(), targets.end(), role) != targets.end())
            DocumentErrors::refuse(ErrorNumber::InvalidFileFormat,
                                   QStringLiteral("%1 holds two states for the %2. Nothing was "
                                                  "imported.")
                                       .arg(fileName, roleName));
        if (name)
            state->setName(*name);
        try {
            role->checkFits(*state, *open(instruments, *role), true);
            role->checkFree(state->Name());
        } catch (const RefusedChange &refusal) {
            DocumentErrors::refuse(refusal.number(),
                                   role->name() + QStringLiteral(": ") + refusal.description());
        }
        targets.push_back(role);
    }
    for (std::size_t i = 0; i < states.size(); ++i)
        targets[i]->add(states[i].second);
    return states.front().second->Name();
}

} // namespace ixo
