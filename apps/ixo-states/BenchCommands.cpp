#include "BenchCommands.h"

#include "StatesCli.h"
#include "automation/ErrorNumber.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/ThreadedInstrument.h"
#include "model/BenchRole.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"

#include <QJsonArray>
#include <algorithm>

namespace ixo {

namespace {

const QString kNoSafety = QStringLiteral("no-safety");

QJsonObject jsonOf(const BenchRole &role) {
    return {{QStringLiteral("role"), role.name()},
            {QStringLiteral("resource"), role.resource()},
            {QStringLiteral("profile"), role.profile()},
            {QStringLiteral("states"), role.count()},
            {QStringLiteral("safetyCapture"), role.safetyCapture()},
            {QStringLiteral("undoRestores"), int(role.history().size())}};
}

QString counted(qsizetype count, const QString &noun) {
    return QStringLiteral("%1 %2%3").arg(count).arg(noun, count == 1 ? "" : "s");
}

qsizetype widestName(const std::vector<BenchRole> &roles) {
    qsizetype width = 0;
    for (const BenchRole &role : roles)
        width = std::max(width, role.name().size());
    return width;
}

} // namespace

BenchCommands::BenchCommands(StatesCli &cli)
    : m_cli(cli) {}

// Each role's instrument is made, used and closed on a thread of its own.
BenchStates::Instruments BenchCommands::instruments() {
    return [this](const BenchRole &role) -> SetupInterfaceRef {
        return std::make_shared<ThreadedInstrument>(m_cli.instrumentMaker(&role));
    };
}

int BenchCommands::printBench(StateDocument &document, const QString &fileName) {
    QJsonArray roles;
    QStringList text{QStringLiteral("%1: a bench of %2")
                         .arg(fileName, counted(qsizetype(document.roles().size()),
                                                QStringLiteral("instrument")))};
    const qsizetype width = widestName(document.roles());
    for (const BenchRole &role : document.roles()) {
        roles.append(jsonOf(role));
        text << QStringLiteral("  %1  %2%3  %4, %5 to take back%6")
                    .arg(role.name().leftJustified(width),
                         role.resource().isEmpty() ? QStringLiteral("(default)") : role.resource(),
                         role.profile().isEmpty() ? QString()
                                                  : QStringLiteral(" [%1]").arg(role.profile()),
                         counted(role.count(), QStringLiteral("state")),
                         counted(qsizetype(role.history().size()), QStringLiteral("restore")),
                         role.safetyCapture() ? QString() : QStringLiteral(", no safety capture"));
    }
    BenchStates states(document);
    QJsonArray benchStates;
    for (const QString &name : states.names()) {
        const QStringList with = states.rolesWith(name);
        benchStates.append(
            QJsonObject{{QStringLiteral("name"), name},
                        {QStringLiteral("roles"), QJsonArray::fromStringList(with)}});
        text << QStringLiteral("  state %1: %2").arg(name, with.join(QStringLiteral(", ")));
    }
    m_cli.print({{QStringLiteral("document"), fileName},
                 {QStringLiteral("roles"), roles},
                 {QStringLiteral("benchStates"), benchStates}},
                text);
    return StatesCli::kDone;
}

int BenchCommands::add(const QStringList &args) {
    // A mistyped resource is refused now rather than at the bench's first capture.
    InstrumentFactory::checkResource(args[2]);
    const auto store = m_cli.openStore(args[0], StatesCli::Missing::IsEmpty);
    StateDocument &document = store->document();
    BenchRole &role = document.addRole(
        args[1], args[2], m_cli.optionValue(QStringLiteral("profile")).value_or(QString()));
    role.setSafetyCapture(!m_cli.isSet(kNoSafety));
    store->save();
    return printBench(document, args[0]);
}

int BenchCommands::remove(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    document.removeRole(args[1], m_cli.isSet(QStringLiteral("force")));
    store->save();
    return printBench(document, args[0]);
}

int BenchCommands::list(const QStringList &args) {
    StateDocument document = m_cli.openDocument(args[0]);
    return printBench(document, args[0]);
}

int BenchCommands::capture(const QStringList &args) {
    if (!m_cli.name())
        throw AutomationError(ErrorNumber::InvalidProcedureCall, QStringLiteral("ixo-states"),
                              QStringLiteral("bench capture needs --name"));
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    BenchStates(document).capture(instruments(), *m_cli.name(),
                                  m_cli.description().value_or(QString()));
    store->save();
    return printBench(document, args[0]);
}

// The setups kept before each restore are saved whatever the outcome. After a failure, the
// output says how to take back each restore that was made and kept.
int BenchCommands::restore(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    std::vector<bool> safety;
    for (const BenchRole &role : document.roles()) {
        safety.push_back(role.safetyCapture());
        document.role(role.name()).setSafetyCapture(safety.back() && !m_cli.isSet(kNoSafety));
    }
    const BenchReport report = BenchStates(document).restore(instruments(), args[1]);
    QStringList kept;
    for (std::size_t i = 0; i < safety.size(); ++i) {
        BenchRole &role = document.role(document.roles()[i].name());
        if (role.safetyCapture())
            kept << role.name();
        role.setSafetyCapture(safety[i]);
    }
    store->save();
    store->recordRestore(report, args[1]);
    QJsonArray outcomes;
    for (const BenchReport::Outcome &outcome : report.outcomes())
        outcomes.append(
            QJsonObject{{QStringLiteral("role"), outcome.role},
                        {QStringLiteral("result"), BenchReport::resultName(outcome.result)},
                        {QStringLiteral("message"), outcome.message}});
    QStringList text = report.lines();
    QJsonArray putBack;
    if (report.failed()) {
        for (const QString &role : report.restoredRoles()) {
            if (!kept.contains(role)) {
                text << QStringLiteral("the %1 was restored with no safety capture: its earlier "
                                       "setup cannot be put back")
                            .arg(role);
                continue;
            }
            const QString command =
                QStringLiteral("ixo-states undo-restore %1 --role %2").arg(args[0], role);
            putBack.append(command);
            text << QStringLiteral("to put the %1 back: %2").arg(role, command);
        }
    }
    m_cli.print({{QStringLiteral("restored"), args[1]},
                 {QStringLiteral("failed"), report.failed()},
                 {QStringLiteral("roles"), outcomes},
                 {QStringLiteral("putBack"), putBack}},
                text);
    return report.failed() ? StatesCli::kFailed : StatesCli::kDone;
}

int BenchCommands::rename(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    BenchStates(document).rename(args[1], args[2], m_cli.description());
    store->save();
    return printBench(document, args[0]);
}

int BenchCommands::drop(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    BenchStates(document).remove(args[1]);
    store->save();
    return printBench(document, args[0]);
}

int BenchCommands::exportState(const QStringList &args) {
    StateDocument document = m_cli.openDocument(args[0]);
    BenchStates(document).exportTo(args[1], args[2]);
    m_cli.print({{QStringLiteral("exported"), args[1]}, {QStringLiteral("file"), args[2]}},
                {QStringLiteral("exported bench state %1 to %2").arg(args[1], args[2])});
    return StatesCli::kDone;
}

int BenchCommands::importState(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    StateDocument &document = store->document();
    try {
        BenchStates(document).importFrom(args[1], instruments(), m_cli.name());
    } catch (const RefusedChange &refusal) {
        if (refusal.number() != ErrorNumber::DuplicateKey)
            throw;
        return m_cli.refuse(refusal.description() +
                            QStringLiteral(" Nothing was imported.\nGive it another name with "
                                           "--name."));
    }
    store->save();
    return printBench(document, args[0]);
}

} // namespace ixo
