#include "PythonBench.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ThreadedInstrument.h"
#include "locale/CIxoResourcesDefault.h"

namespace ixo::python {

namespace {

const QString kPythonBenchSource = QStringLiteral("ixoinstrsetups.Bench");

} // namespace

PythonBench::PythonBench()
    : m_stored(std::make_shared<CIxoResourcesDefault>()) {}

PythonBench::PythonBench(StoredDocument stored, Instruments given)
    : m_stored(std::move(stored))
    , m_instruments(std::move(given)) {
    for (const auto &[role, instrument] : m_instruments)
        document().role(role);
}

std::shared_ptr<PythonBench> PythonBench::open(const QString &location, Instruments given) {
    return std::make_shared<PythonBench>(
        StoredDocument::open(location, std::make_shared<CIxoResourcesDefault>()), std::move(given));
}

void PythonBench::save(const QString &fileName) {
    m_stored.save(fileName);
}

QStringList PythonBench::roles() const {
    QStringList roles;
    for (const BenchRole &role : document().roles())
        roles << role.name();
    return roles;
}

QStringList PythonBench::names() const {
    return BenchStates(const_cast<StateDocument &>(document())).names();
}

// Opened once and kept.
SetupInterfaceRef PythonBench::instrument(const QString &roleName) {
    const BenchRole &role = document().role(roleName);
    auto &instrument = m_instruments[role.name()];
    if (!instrument) {
        if (role.resource().isEmpty())
            throw AutomationError(ErrorNumber::ObjectNotSet, kPythonBenchSource,
                                  QStringLiteral("The %1 has no resource; give its instrument to "
                                                 "Bench.open(instruments=)")
                                      .arg(role.name()));
        // Made on its own thread, where its connection then lives.
        instrument = std::make_shared<ThreadedInstrument>(
            [resource = role.resource(), profile = role.profile(),
             profiles = InstrumentProfiles::load()]() -> SetupInterfaceRef {
                return InstrumentFactory::open(resource, profiles, profile);
            });
    }
    return instrument;
}

void PythonBench::addRole(const QString &role, const QString &resource, const QString &profile,
                          SetupInterfaceRef instrument) {
    const QString name = document().addRole(role, resource, profile).name();
    if (instrument)
        m_instruments[name] = std::move(instrument);
}

BenchStates::Instruments PythonBench::instruments() {
    return [this](const BenchRole &role) { return instrument(role.name()); };
}

void PythonBench::capture(const QString &name, const QString &description) {
    BenchStates(document()).capture(instruments(), name, description);
}

BenchReport PythonBench::restore(const QString &name) {
    const BenchReport report = BenchStates(document()).restore(instruments(), name);
    m_lastRestored = report.restoredRoles();
    m_stored.recordRestore(report, name);
    if (report.failed()) {
        QString message = QStringLiteral("Bench state %1 was restored only in part:\n").arg(name) +
                          report.lines().join(QLatin1Char('\n'));
        if (!m_lastRestored.isEmpty())
            message += QStringLiteral("\nbench.undo_restore() puts back %1.")
                           .arg(m_lastRestored.join(QStringLiteral(", ")));
        throw AutomationError(ErrorNumber::Fail, kPythonBenchSource, message);
    }
    return report;
}

// Every role is tried; the first failure is raised after the others were put back.
QStringList PythonBench::undoRestore(const QStringList &roles) {
    QStringList pending = roles.isEmpty() ? m_lastRestored : roles;
    QStringList done;
    std::optional<AutomationError> failure;
    for (auto role = pending.crbegin(); role != pending.crend(); ++role) {
        try {
            document().role(*role).undoRestore(*instrument(*role));
            done << *role;
        } catch (const AutomationError &error) {
            if (!failure)
                failure = error;
        }
    }
    for (const QString &role : done)
        m_lastRestored.removeAll(role);
    if (failure)
        throw *failure;
    return done;
}

} // namespace ixo::python
