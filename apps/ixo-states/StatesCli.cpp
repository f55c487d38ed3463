#include "StatesCli.h"

#include "BenchCommands.h"
#include "DiscoverCommand.h"
#include "LibraryCommands.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/StateDiff.h"
#include "instruments/simulator/SimulatedInstrument.h"
#include "library/DocumentStore.h"
#include "library/LibraryAudit.h"
#include "library/LibraryDocument.h"
#include "library/LibraryHistory.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "support/HostDocument.h"
#include "support/StateFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QStandardPaths>
#include <unistd.h>

namespace ixo {

namespace {

const QString kStatesCliSource = QStringLiteral("ixo-states");

enum Option {
    Json = 1,
    Instrument = 2,
    Name = 4,
    Description = 8,
    Profile = 16,
    Verify = 32,
    Check = 64,
    Role = 128,
    NoSafety = 256,
    Force = 512,
    Version = 1024,
    Since = 2048,
    NewVersion = 4096
};

[[noreturn]] void fail(std::int32_t number, const QString &description) {
    throw AutomationError(number, kStatesCliSource, description);
}

QString terminalText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

namespace {

// A bench command's handler, run by a BenchCommands of the session.
std::function<int(StatesCli &, const QStringList &)>
bench(int (BenchCommands::*handler)(const QStringList &)) {
    return [handler](StatesCli &cli, const QStringList &args) {
        BenchCommands commands(cli);
        return (commands.*handler)(args);
    };
}

// A library command's handler, run by a LibraryCommands of the session.
std::function<int(StatesCli &, const QStringList &)>
library(int (LibraryCommands::*handler)(const QStringList &)) {
    return [handler](StatesCli &cli, const QStringList &args) {
        LibraryCommands commands(cli);
        return (commands.*handler)(args);
    };
}

} // namespace

struct StatesCli::Command {
    QString name;
    QString arguments;
    QString summary;
    int options;
    int minArguments;
    int maxArguments;
    std::function<int(StatesCli &, const QStringList &)> handler;
    // Gets the arguments after its name as they are: its options are its own.
    bool parsesOwnOptions = false;
};

const std::vector<StatesCli::Command> &StatesCli::commands() {
    static const std::vector<Command> all{
        {"list", "<document>",
         "Lists the saved states of a document: a file, or a library's document "
         "(sqlite:PATH?document=NAME, postgresql://[user@]host[:port]/database?document=NAME).",
         Json | Instrument | Profile | Role, 1, 1, &StatesCli::list},
        {"capture", "<document> [--name N] [--description D] [--new-version]",
         "Captures the instrument's setup as a new state (the document is created if needed); "
         "with --new-version, as the next version of library state N (the one way a released "
         "state changes).",
         Json | Instrument | Profile | Name | Description | Role | NewVersion, 1, 1,
         &StatesCli::capture},
        {"restore", "<document> <name> [--verify] [--no-safety] [--version K]",
         "Sends a saved state back to the instrument, if it was captured on the same model and "
         "version, after keeping the instrument's present setup for undo-restore (not with "
         "--no-safety); with --verify, captures again and warns of settings that did not take. "
         "From a library, --version K restores an earlier version, and the restore is recorded "
         "in the library's audit trail.",
         Json | Instrument | Profile | Verify | Role | NoSafety | Version, 2, 2,
         &StatesCli::restore},
        {"undo-restore", "<document>",
         "Puts back the setup the instrument had before its last restore (the last ten are "
         "kept in the document).",
         Json | Instrument | Profile | Role, 1, 1, &StatesCli::undoRestore},
        {"rename", "<document> <name> <new name> [--description D]",
         "Renames a state (it moves to the end of the list) or changes its description.",
         Json | Instrument | Profile | Description | Role, 3, 3, &StatesCli::rename},
        {"remove", "<document> <name>", "Removes a saved state.",
         Json | Instrument | Profile | Role, 2, 2, &StatesCli::remove},
        {"export", "<document> <name> <file.sta>", "Writes a saved state to a state file.",
         Json | Role, 3, 3, &StatesCli::exportState},
        {"import", "<document> <file> [--name N]",
         "Adds the state of a state file or a legacy setup file, if it fits the instrument.",
         Json | Instrument | Profile | Name | Role, 2, 2, &StatesCli::importState},
        {"diff", "<A> <B>",
         "Compares the data of two states, each a state file or <document>:<name>: SCPI text "
         "line by line, other data as byte ranges.",
         Json, 2, 2, &StatesCli::diff},
        {"demo", "[directory]",
         "Captures, exports, restores and imports on the simulated instrument.", 0, 0, 1,
         &StatesCli::demo},
        {"profiles", "[--instrument RES] [--profile NAME] [--check]",
         "Lists the instrument profiles, built-in and the user's own, and with --instrument "
         "the one the instrument uses. With --check, runs that profile's capture step by step "
         "(no restore) and prints each step, the size of its answer and the errors the "
         "instrument queued.",
         Json | Instrument | Profile | Check, 0, 0, &StatesCli::listProfiles},
        {"bench add", "<document> <role> <resource> [--profile P] [--no-safety]",
         "Adds an instrument to the document's bench in a role such as generator or scope (the "
         "document is created if needed); --no-safety keeps no setup before its restores.",
         Json | Profile | NoSafety, 3, 3, bench(&BenchCommands::add)},
        {"bench remove", "<document> <role> [--force]",
         "Removes an instrument from the bench; one with saved states only with --force.",
         Json | Force, 2, 2, bench(&BenchCommands::remove)},
        {"bench list", "<document>", "Lists the bench's instruments and its bench states.", Json, 1,
         1, bench(&BenchCommands::list)},
        {"bench capture", "<document> --name N [--description D]",
         "Captures every instrument of the bench at once as state N of each; when one fails, "
         "no list changes.",
         Json | Name | Description, 1, 1, bench(&BenchCommands::capture)},
        {"bench restore", "<document> <name>",
         "Restores state N on every instrument that has it, in the bench's order, and reports "
         "each; it stops at the first that fails.",
         Json | NoSafety, 2, 2, bench(&BenchCommands::restore)},
        {"bench rename", "<document> <name> <new name> [--description D]",
         "Renames bench state N on every instrument that has it.", Json | Description, 3, 3,
         bench(&BenchCommands::rename)},
        {"bench drop", "<document> <name>", "Removes bench state N from every instrument.", Json, 2,
         2, bench(&BenchCommands::drop)},
        {"bench export", "<document> <name> <file.ixb>",
         "Writes bench state N of every instrument to one bench state file.", Json, 3, 3,
         bench(&BenchCommands::exportState)},
        {"bench import", "<document> <file.ixb> [--name N]",
         "Adds the states of a bench state file, each only if it fits its instrument.", Json | Name,
         2, 2, bench(&BenchCommands::importState)},
        {"library list", "<library>",
         "Lists the documents of a setup library (sqlite:PATH or "
         "postgresql://[user@]host[:port]/database).",
         Json, 1, 1, library(&LibraryCommands::list)},
        {"library import", "<library> <document.ixs>",
         "Copies a document into a setup library (created if needed), named by the address's "
         "?document=NAME or else the file's base name; a name it holds is refused.",
         Json, 2, 2, library(&LibraryCommands::importDocument)},
        {"library export", "<library> <name> <document.ixs>",
         "Writes a document of a setup library to a document file.", Json, 3, 3,
         library(&LibraryCommands::exportDocument)},
        {"library history", "<library?document=NAME> <state>",
         "Lists every version of a state (also one since removed): what changed, who, from "
         "which station and when.",
         Json | Role, 2, 2, library(&LibraryCommands::history)},
        {"library release", "<library?document=NAME> <state>",
         "Marks a state released: it is then neither renamed nor removed, and changes only by "
         "capture --new-version.",
         Json | Role, 2, 2, library(&LibraryCommands::release)},
        {"library audit", "<library> [--since DATE]",
         "Prints the restores done from the library: time, user, station, document, role, "
         "state, version and the instrument's *IDN?.",
         Json | Since, 1, 1, library(&LibraryCommands::audit)},
        {"discover", DiscoverCommand::kUsage,
         "Searches for instruments and lists each one's resource, *IDN? and how it was found.", 0,
         0, 0, &StatesCli::discover, true},
    };
    return all;
}

StatesCli::StatesCli(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
    , m_texts(std::make_shared<CIxoResourcesDefault>()) {
    m_parser.addOptions({
        {QStringLiteral("json"), QStringLiteral("Print the result as JSON.")},
        {QStringLiteral("instrument"),
         QStringLiteral("The instrument's resource (default SIM, the simulated instrument; "
                        "SIM::<family> simulates one of ixo-instrument-sim's families)."),
         QStringLiteral("resource"), InstrumentFactory::kSimulator},
        {QStringLiteral("profile"),
         QStringLiteral("The instrument profile to use instead of the one matching *IDN?."),
         QStringLiteral("name")},
        {QStringLiteral("name"), QStringLiteral("The state's name."), QStringLiteral("name")},
        {QStringLiteral("description"), QStringLiteral("The state's description."),
         QStringLiteral("text")},
        {QStringLiteral("verify"),
         QStringLiteral("After a restore, capture again and warn of settings that did not "
                        "take.")},
        {QStringLiteral("check"),
         QStringLiteral("Run the profile's capture step by step and show each step.")},
        {QStringLiteral("role"), QStringLiteral("The instrument of a bench document."),
         QStringLiteral("role")},
        {QStringLiteral("no-safety"),
         QStringLiteral("Keep no copy of the instrument's present setup before restoring.")},
        {QStringLiteral("force"), QStringLiteral("Remove an instrument with saved states.")},
        {QStringLiteral("version"), QStringLiteral("The version of a library state."),
         QStringLiteral("K")},
        {QStringLiteral("since"), QStringLiteral("Only what happened since this date or time."),
         QStringLiteral("date")},
        {QStringLiteral("new-version"),
         QStringLiteral("Capture as the next version of an existing library state.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show help.")},
    });
}

int StatesCli::run(const QStringList &arguments) {
    const QString name = arguments.value(0);
    if (name.isEmpty() || name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help"))
        return usage();
    // Bench and library commands are named by two words.
    const bool twoWords = name == QLatin1String("bench") || name == QLatin1String("library");
    const QString full = twoWords ? name + QLatin1Char(' ') + arguments.value(1) : name;
    for (const Command &command : commands()) {
        if (command.name != full)
            continue;
        if (command.parsesOwnOptions)
            return command.handler(*this, arguments.mid(1));
        return runCommand(command, arguments);
    }
    return usage(QStringLiteral("unknown command: %1").arg(name));
}

int StatesCli::runCommand(const Command &command, const QStringList &arguments) {
    if (!m_parser.parse(QStringList{kStatesCliSource} + arguments))
        return usage(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help")))
        return commandHelp(command);
    const std::pair<const char *, int> options[] = {{"json", Json},
                                                    {"instrument", Instrument},
                                                    {"name", Name},
                                                    {"description", Description},
                                                    {"profile", Profile},
                                                    {"verify", Verify},
                                                    {"check", Check},
                                                    {"role", Role},
                                                    {"no-safety", NoSafety},
                                                    {"force", Force},
                                                    {"version", Version},
                                                    {"since", Since},
                                                    {"new-version", NewVersion}};
    for (const auto &[option, flag] : options) {
        if (m_parser.isSet(QString::fromLatin1(option)) && !(command.options & flag))
            return usage(QStringLiteral("%1 takes no --%2").arg(command.name, option));
    }
    const QStringList args =
        m_parser.positionalArguments().mid(int(command.name.count(QLatin1Char(' '))) + 1);
    if (args.size() < command.minArguments || args.size() > command.maxArguments)
        return usage(
            QStringLiteral("usage: ixo-states %1 %2").arg(command.name, command.arguments));
    m_json = m_parser.isSet(QStringLiteral("json"));
    m_name = optionValue(QStringLiteral("name"));
    m_description = optionValue(QStringLiteral("description"));
    try {
        return command.handler(*this, args);
    } catch (const RefusedChange &refusal) {
        return refuse(refusal.description());
    } catch (const AutomationError &error) {
        printError(error.number(), error.source(), error.description());
        return kFailed;
    }
}

int StatesCli::usage(const QString &problem) {
    if (!problem.isEmpty())
        m_err << "ixo-states: " << problem << Qt::endl << Qt::endl;
    m_err << "Usage: ixo-states <command> [--json] [--instrument RESOURCE] [--profile NAME] "
             "...\n\n";
    for (const Command &command : commands())
        m_err << "  " << command.name << ' ' << command.arguments << '\n';
    m_err << "\n'ixo-states <command> --help' tells more. Exit codes: 0 done (diff: the same), "
             "1 diff found differences, 2 usage error,\n3 refused (another instrument's state, "
             "a taken name, or a library state another station changed), 4 failed."
          << Qt::endl;
    return problem.isEmpty() ? kDone : kUsage;
}

int StatesCli::commandHelp(const Command &command) {
    m_out << "usage: ixo-states " << command.name << ' ' << command.arguments << "\n\n"
          << command.summary << "\n\n";
    const std::pair<int, const char *> options[] = {
        {Json, "--json                 print the result as JSON"},
        {Instrument, "--instrument RESOURCE  the instrument (default SIM, simulated)"},
        {Profile, "--profile NAME         the instrument profile (default: the one matching)"},
        {Name, "--name NAME            the state's name"},
        {Description, "--description TEXT     the state's description"},
        {Role, "--role ROLE            the instrument of a bench document"},
        {NoSafety, "--no-safety            keep no copy of the present setup before restoring"},
        {Force, "--force                remove an instrument with saved states"},
        {Version, "--version K            restore version K of a library state"},
        {Since, "--since DATE           only since DATE (2026-12-01 or 2026-12-01T08:00)"},
        {NewVersion, "--new-version          capture as the next version of state --name"}};
    for (const auto &[flag, text] : options) {
        if (command.options & flag)
            m_out << "  " << text << '\n';
    }
    m_out << Qt::flush;
    return kDone;
}

int StatesCli::discover(const QStringList &args) {
    return DiscoverCommand(m_out, m_err, isatty(STDERR_FILENO) == 1).run(args);
}

std::optional<QString> StatesCli::optionValue(const QString &option) const {
    if (!m_parser.isSet(option))
        return std::nullopt;
    return m_parser.value(option);
}

bool StatesCli::isSet(const QString &option) const {
    return m_parser.isSet(option);
}

const SetupInterfaceRef &StatesCli::instrument(const BenchRole &role) {
    if (!m_instrument)
        m_instrument = openInstrument(&role);
    return m_instrument;
}

std::shared_ptr<ScpiInstrument> StatesCli::openInstrument(const BenchRole *role) {
    return instrumentMaker(role)();
}

StatesCli::InstrumentMaker StatesCli::instrumentMaker(const BenchRole *role) {
    const QString resource =
        isSet(QStringLiteral("instrument")) || !role || role->resource().isEmpty()
            ? m_parser.value(QStringLiteral("instrument"))
            : role->resource();
    const QString profile = isSet(QStringLiteral("profile")) || !role
                                ? m_parser.value(QStringLiteral("profile"))
                                : role->profile();
    const bool verify = isSet(QStringLiteral("verify"));
    return [this, resource, profile, verify, known = profiles()] {
        auto scpi = InstrumentFactory::open(resource, known, profile);
        watch(*scpi);
        if (verify)
            scpi->setVerifyRestore(true);
        return scpi;
    };
}

void StatesCli::watch(ScpiInstrument &instrument) {
    instrument.setWarningHandler([this](const QString &warning) { printWarning(warning); });
}

// Loaded once; files that could not be read are warned about, the others are used.
const std::shared_ptr<const InstrumentProfiles> &StatesCli::profiles() {
    if (!m_profiles) {
        m_profiles = InstrumentProfiles::load();
        for (const QString &problem : m_profiles->problems())
            printWarning(QStringLiteral("profile left out: ") + problem);
    }
    return m_profiles;
}

// Capture and import make the document; the other commands need it to exist.
std::unique_ptr<DocumentStore> StatesCli::openStore(const QString &location,
                                                    Missing missing) const {
    return DocumentStore::open(location, m_texts,
                               missing == Missing::Fails ? DocumentStore::Missing::Fails
                                                         : DocumentStore::Missing::IsCreated);
}

StateDocument StatesCli::openDocument(const QString &location, Missing missing) const {
    return std::move(openStore(location, missing)->document());
}

namespace {

QJsonObject jsonOf(ItemStateInfo &state, SetupInterface &instrument) {
    const QVariant data = state.data();
    const bool text = variantTypeOf(data) == VariantType::String;
    return {{QStringLiteral("name"), state.Name()},
            {QStringLiteral("description"), state.Description()},
            {QStringLiteral("model"), state.Model()},
            {QStringLiteral("version"), state.Version()},
            {QStringLiteral("data"), text ? QStringLiteral("text") : QStringLiteral("bytes")},
            {QStringLiteral("size"),
             double(text ? data.toString().toUtf8().size() : data.toByteArray().size())},
            {QStringLiteral("fitsInstrument"), state.matchesInstrument(instrument)}};
}

} // namespace

int StatesCli::printList(const BenchRole &role, const QString &document) {
    const StateInfo &states = *role.stateInfo();
    SetupInterface &setup = *instrument(role);
    QJsonArray json;
    const int count = states.Items()->Count();
    QStringList text;
    text << QStringLiteral("%1: %2 saved state%3 (instrument %4 %5)")
                .arg(document)
                .arg(count)
                .arg(count == 1 ? "" : "s")
                .arg(setup.Model(), setup.Version());
    for (int i = 1; i <= count; ++i) {
        const auto state = states.item(i);
        const QJsonObject entry = jsonOf(*state, setup);
        json.append(entry);
        text << QStringLiteral("  %1. %2 - %3 [%4 %5, %6 %7%8]")
                    .arg(i)
                    .arg(state->Name(), state->Description(), state->Model(), state->Version())
                    .arg(entry[QStringLiteral("size")].toInt())
                    .arg(entry[QStringLiteral("data")].toString() == QLatin1String("text")
                             ? "characters"
                             : "bytes")
                    .arg(entry[QStringLiteral("fitsInstrument")].toBool() ? ""
                                                                          : ", other instrument");
    }
    print(
        {{QStringLiteral("document"), document},
         {QStringLiteral("instrument"), QJsonObject{{QStringLiteral("model"), setup.Model()},
                                                    {QStringLiteral("version"), setup.Version()}}},
         {QStringLiteral("states"), json}},
        text);
    return kDone;
}

int StatesCli::list(const QStringList &args) {
    const StateDocument document = openDocument(args[0]);
    return printList(document.role(m_parser.value(QStringLiteral("role"))), args[0]);
}

int StatesCli::capture(const QStringList &args) {
    const auto store = openStore(args[0], Missing::IsEmpty);
    BenchRole &role = store->document().role(m_parser.value(QStringLiteral("role")));
    if (isSet(QStringLiteral("new-version")))
        return captureVersion(*store, role);
    const auto state = role.capture(*instrument(role), m_name, m_description.value_or(QString()));
    try {
        store->save();
    } catch (const AutomationError &error) {
        keepCapture(state, error);
    }
    return printList(role, args[0]);
}

int StatesCli::captureVersion(DocumentStore &store, BenchRole &role) {
    if (!store.library() || !m_name)
        fail(ErrorNumber::InvalidProcedureCall,
             QStringLiteral("--new-version captures into a library state named by --name"));
    // Captured under a passing name, then taken out: only the library's state changes.
    const auto captured = role.capture(*instrument(role), std::nullopt, QString());
    role.remove(captured->Name());
    try {
        store.library()->revise(role.name(), *m_name, *captured);
    } catch (const AutomationError &error) {
        keepCapture(captured, error);
    }
    return printList(role, store.location());
}

// The capture is the user's work: it goes to a state file before the error is told.
void StatesCli::keepCapture(const std::shared_ptr<ItemStateInfo> &state,
                            const AutomationError &error) {
    const QString directory =
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
        QStringLiteral("/unsaved");
    const QString fileName =
        QStringLiteral("%1/%2-%3.sta")
            .arg(directory, QString(state->Name()).replace(QRegularExpression("[^\\w.-]"), "_"),
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString kept;
    if (QDir().mkpath(directory)) {
        try {
            StateFile().SaveObject(state, fileName);
            kept = QStringLiteral("\nThe capture was kept in %1: ixo-states import takes it "
                                  "once the document can be saved.")
                       .arg(fileName);
        } catch (const AutomationError &) {
            kept = QStringLiteral("\nThe capture could not be kept in %1.").arg(fileName);
        }
    }
    if (dynamic_cast<const RefusedChange *>(&error))
        throw RefusedChange(error.number(), error.source(), error.description() + kept);
    throw AutomationError(error.number(), error.source(), error.description() + kept);
}

// The document keeps the setup the restore replaces, so it is saved even when the restore
// fails part-way.
int StatesCli::restore(const QStringList &args) {
    const auto store = openStore(args[0]);
    StateDocument &document = store->document();
    BenchRole &role = document.role(m_parser.value(QStringLiteral("role")));
    SetupInterface &setup = *instrument(role);
    const int version = requestedVersion(*store);
    const std::shared_ptr<ItemStateInfo> saved =
        version ? store->library()->history(role.name()).state(args[1], version)
                : role.state(args[1]);
    const bool safety = role.safetyCapture();
    role.setSafetyCapture(safety && !isSet(QStringLiteral("no-safety")));
    const std::size_t kept = role.history().size();
    const auto saveKept = [&] {
        role.setSafetyCapture(safety);
        if (role.history().size() != kept)
            store->save();
    };
    try {
        role.restore(setup, *saved);
    } catch (const AutomationError &) {
        saveKept();
        throw;
    }
    saveKept();
    store->recordRestore(role.name(), args[1], ScpiInstrument::identityOf(setup), version);
    QJsonObject json{{QStringLiteral("restored"), args[1]}};
    QString text = QStringLiteral("restored %1").arg(args[1]);
    if (version) {
        json.insert(QStringLiteral("version"), version);
        text += QStringLiteral(" (version %1)").arg(version);
    }
    print(json, {text + QStringLiteral(" to %1 %2").arg(setup.Model(), setup.Version())});
    return kDone;
}

// 0 for the state as it is now.
int StatesCli::requestedVersion(DocumentStore &store) const {
    const std::optional<QString> text = optionValue(QStringLiteral("version"));
    if (!text)
        return 0;
    bool ok = false;
    const int version = text->toInt(&ok);
    if (!ok || version < 1)
        fail(ErrorNumber::InvalidProcedureCall,
             QStringLiteral("--version takes a version number (1, 2, ...), not %1").arg(*text));
    if (!store.library())
        fail(ErrorNumber::InvalidProcedureCall,
             QStringLiteral("--version needs a library document: a file keeps no versions"));
    return version;
}

int StatesCli::undoRestore(const QStringList &args) {
    const auto store = openStore(args[0]);
    BenchRole &role = store->document().role(m_parser.value(QStringLiteral("role")));
    const RestoreHistory::Entry entry = role.undoRestore(*instrument(role));
    store->save();
    const QString taken = entry.taken.toLocalTime().toString(Qt::ISODate);
    print({{QStringLiteral("putBack"), taken},
           {QStringLiteral("replacedBy"), entry.replacedBy},
           {QStringLiteral("left"), int(role.history().size())}},
          {QStringLiteral("put back the setup of %1 from %2, before %3 was restored (%4 more "
                          "kept)")
               .arg(role.name(), taken, entry.replacedBy)
               .arg(role.history().size())});
    return kDone;
}

int StatesCli::rename(const QStringList &args) {
    const auto store = openStore(args[0]);
    BenchRole &role = store->document().role(m_parser.value(QStringLiteral("role")));
    role.rename(args[1], args[2], m_description);
    store->save();
    return printList(role, args[0]);
}

int StatesCli::remove(const QStringList &args) {
    const auto store = openStore(args[0]);
    BenchRole &role = store->document().role(m_parser.value(QStringLiteral("role")));
    role.remove(args[1]);
    store->save();
    return printList(role, args[0]);
}

int StatesCli::exportState(const QStringList &args) {
    openDocument(args[0])
        .role(m_parser.value(QStringLiteral("role")))
        .exportState(args[1], args[2]);
    print({{QStringLiteral("exported"), args[1]}, {QStringLiteral("file"), args[2]}},
          {QStringLiteral("exported %1 to %2").arg(args[1], args[2])});
    return kDone;
}

int StatesCli::importState(const QStringList &args) {
    const auto store = openStore(args[0], Missing::IsEmpty);
    BenchRole &role = store->document().role(m_parser.value(QStringLiteral("role")));
    try {
        role.importState(args[1], *instrument(role), m_name);
    } catch (const RefusedChange &refusal) {
        if (refusal.number() != ErrorNumber::DuplicateKey)
            throw;
        return refuse(refusal.description() +
                      QStringLiteral("\nGive it another name with --name."));
    }
    store->save();
    return printList(role, args[0]);
}

// A state file, or a state of a document given as <document>:<name>.
QVariant StatesCli::dataOf(const QString &reference) {
    return StateDocument::dataOf(reference, m_texts);
}

int StatesCli::diff(const QStringList &args) {
    const StateDiff diff = StateDiff::compare(dataOf(args[0]), dataOf(args[1]));
    print(diff.toJson(), diff.toText());
    return diff.same() ? kDone : kDifferent;
}

int StatesCli::demo(const QStringList &args) {
    const QString directory = args.value(0, QStringLiteral("ixo-demo"));
    if (!QDir().mkpath(directory))
        fail(ErrorNumber::PathFileAccess, QStringLiteral("Cannot create %1").arg(directory));
    const QString document = QDir(directory).filePath(QStringLiteral("demo.ixs"));
    const QString stateFile = QDir(directory).filePath(QStringLiteral("carrier.sta"));
    QFile::remove(document);
    auto simulator = std::make_shared<SimulatedInstrument>();
    watch(*simulator);
    m_instrument = simulator;
    m_out << "Simulated instrument: " << simulator->Model() << ' ' << simulator->Version()
          << Qt::endl;
    const auto captureAs = [&](const char *name, const char *description) {
        m_name = QString::fromUtf8(name);
        m_description = QString::fromUtf8(description);
        capture({document});
    };
    simulator->apply(":FREQ 2.4E9\n:POW -20\n:OUTP ON");
    captureAs("Carrier", "2.4 GHz, -20 dBm, on");
    simulator->apply(":AM:STAT ON\n:AM:DEPT 80");
    captureAs("AM test", "carrier with 80 % AM");
    exportState({document, QStringLiteral("Carrier"), stateFile});
    simulator->apply(":FREQ 1E6\n:OUTP OFF\n:AM:STAT OFF");
    restore({document, QStringLiteral("Carrier")});
    m_out << "after restore: FREQ " << simulator->setting(QStringLiteral(":FREQ")) << ", OUTP "
          << simulator->setting(QStringLiteral(":OUTP")) << Qt::endl;
    diff({document + QStringLiteral(":Carrier"), document + QStringLiteral(":AM test")});
    m_name.reset();
    m_description.reset();
    remove({document, QStringLiteral("Carrier")});
    importState({document, stateFile});
    m_out << "document: " << document << Qt::endl;
    return kDone;
}

namespace {

QString sourceOf(const InstrumentProfile &profile) {
    return profile.source.startsWith(QLatin1Char(':')) ? InstrumentProfiles::kBuiltIn
                                                       : profile.source;
}

QString summaryOf(const InstrumentProfile &profile) {
    QString text;
    switch (profile.method()) {
    case InstrumentProfile::Method::RegistersOnly:
        text = QStringLiteral("*SAV/*RCL registers only: cannot capture");
        break;
    case InstrumentProfile::Method::Settings:
        text = QStringLiteral("%1 settings one by one").arg(profile.settings.size());
        break;
    case InstrumentProfile::Method::Steps:
        if (!profile.capture.isEmpty()) {
            text = QStringLiteral("steps: capture %1, restore %2, cleanup %3")
                       .arg(profile.capture.size())
                       .arg(profile.restore.size())
                       .arg(profile.cleanup.size());
            break;
        }
        text = QStringLiteral("%1 %2").arg(profile.captureQuery,
                                           profile.blockAnswer ? "block" : "text");
        if (!profile.restoreCommand.isEmpty())
            text += QStringLiteral(", restore %1").arg(profile.restoreCommand);
        text += QStringLiteral(", completion %1")
                    .arg(InstrumentProfile::completionName(profile.completion));
        break;
    }
    if (!profile.verified)
        text += QStringLiteral(", not verified on hardware");
    return text;
}

} // namespace

int StatesCli::checkProfile() {
    const std::shared_ptr<ScpiInstrument> scpi = openInstrument(nullptr);
    const ScpiInstrument::Identity identity = scpi->identity();
    const QString resource = m_parser.value(QStringLiteral("instrument"));
    QStringList text{
        QStringLiteral("Checking profile %1 on %2 (%3 %4): the capture step by "
                       "step, no restore")
            .arg(scpi->profile().name, resource, identity.manufacturer, identity.model)};
    QJsonArray steps;
    const auto report = [&](const SetupSequence::StepReport &step) {
        QString line = QStringLiteral("  %1%2").arg(step.cleanup ? "cleanup: " : "", step.step);
        if (step.answerBytes >= 0)
            line += QStringLiteral("  -> %1 bytes").arg(step.answerBytes);
        if (!step.errors.isEmpty())
            line += QStringLiteral("  instrument errors: %1").arg(step.errors.join("; "));
        if (!step.failure.isEmpty())
            line += QStringLiteral("  FAILED: %1").arg(step.failure);
        text << line;
        steps.append(
            QJsonObject{{QStringLiteral("step"), step.step},
                        {QStringLiteral("cleanup"), step.cleanup},
                        {QStringLiteral("answerBytes"), double(step.answerBytes)},
                        {QStringLiteral("errors"), QJsonArray::fromStringList(step.errors)},
                        {QStringLiteral("failure"), step.failure}});
    };
    QJsonObject result{{QStringLiteral("profile"), scpi->profile().name},
                       {QStringLiteral("resource"), resource}};
    int code = kDone;
    try {
        scpi->checkCapture(report);
        text << QStringLiteral("The capture works.");
    } catch (const AutomationError &error) {
        text << QStringLiteral("The capture fails: %1").arg(error.description());
        result.insert(QStringLiteral("error"), error.description());
        code = kFailed;
    }
    result.insert(QStringLiteral("steps"), steps);
    result.insert(QStringLiteral("works"), code == kDone);
    print(result, text);
    return code;
}

int StatesCli::listProfiles(const QStringList &) {
    if (m_parser.isSet(QStringLiteral("check")))
        return checkProfile();
    const InstrumentProfiles &known = *profiles();
    const bool withInstrument = m_parser.isSet(QStringLiteral("instrument"));
    const QString forced = m_parser.value(QStringLiteral("profile"));
    std::shared_ptr<ScpiInstrument> scpi;
    ScpiInstrument::Identity identity;
    if (withInstrument || !forced.isEmpty()) {
        scpi = openInstrument(nullptr);
        if (withInstrument)
            identity = scpi->identity();
    }
    QJsonArray json;
    QStringList text{QStringLiteral("Instrument profiles (the user's own in %1):")
                         .arg(QDir::toNativeSeparators(known.directory()))};
    for (const InstrumentProfile &profile : known.profiles()) {
        QJsonObject entry = profile.toJson();
        entry.insert(QStringLiteral("source"), sourceOf(profile));
        QString line = QStringLiteral("  %1  [%2]  manufacturer \"%3\", model \"%4\"  (%5)")
                           .arg(profile.name, sourceOf(profile),
                                profile.manufacturers.join(QLatin1String(" | ")),
                                profile.models.join(QLatin1String(" | ")), summaryOf(profile));
        if (withInstrument) {
            const bool matches = profile.matches(identity.manufacturer, identity.model);
            entry.insert(QStringLiteral("matches"), matches);
            if (matches)
                line += QStringLiteral("  matches");
        }
        if (scpi)
            entry.insert(QStringLiteral("inUse"), profile.name == scpi->profile().name);
        json.append(entry);
        text << line;
    }
    QJsonObject result{{QStringLiteral("directory"), known.directory()},
                       {QStringLiteral("profiles"), json},
                       {QStringLiteral("problems"), QJsonArray::fromStringList(known.problems())}};
    if (scpi) {
        const QString used = scpi->profile().name;
        QJsonObject instrumentJson{{QStringLiteral("profile"), used},
                                   {QStringLiteral("forced"), !forced.isEmpty()}};
        if (withInstrument) {
            instrumentJson.insert(QStringLiteral("resource"),
                                  m_parser.value(QStringLiteral("instrument")));
            instrumentJson.insert(QStringLiteral("manufacturer"), identity.manufacturer);
            instrumentJson.insert(QStringLiteral("model"), identity.model);
            text << QStringLiteral("%1 (%2 %3) uses %4%5")
                        .arg(m_parser.value(QStringLiteral("instrument")), identity.manufacturer,
                             identity.model, used, forced.isEmpty() ? "" : " (--profile)");
        } else {
            text << QStringLiteral("--profile %1 is known").arg(used);
        }
        result.insert(QStringLiteral("instrument"), instrumentJson);
    }
    print(result, text);
    return kDone;
}

int StatesCli::refuse(const QString &message) {
    printError(0, kStatesCliSource, terminalText(message));
    return kRefused;
}

void StatesCli::print(const QJsonObject &json, const QStringList &text) {
    if (m_json)
        m_out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    else
        m_out << text.join(QLatin1Char('\n')) << '\n';
    m_out << Qt::flush;
}

void StatesCli::printWarning(const QString &warning) {
    // Standard error, so that --json output stays one document.
    const std::lock_guard lock(m_errLock);
    m_err << "ixo-states: warning: " << terminalText(warning) << Qt::endl;
}

void StatesCli::printError(std::int32_t number, const QString &source, const QString &description) {
    if (m_json) {
        m_err << QJsonDocument(
                     QJsonObject{{QStringLiteral("error"),
                                  QJsonObject{{QStringLiteral("number"), number},
                                              {QStringLiteral("source"), source},
                                              {QStringLiteral("description"), description}}}})
                     .toJson(QJsonDocument::Indented);
    } else if (number == 0) {
        m_err << "ixo-states: " << description << '\n';
    } else {
        m_err << "error " << number << " (" << source << "): " << description << '\n';
    }
    m_err << Qt::flush;
}

} // namespace ixo
