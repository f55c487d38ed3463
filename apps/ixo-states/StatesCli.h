#pragma once

#include "automation/AutomationError.h"
#include "automation/PropertyBag.h"
#include "library/DocumentStore.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace ixo {

class BenchRole;
class InstrumentProfiles;
class ItemStateInfo;
class ScpiInstrument;

// The command-line host: keeps a list of saved states in a document file and works on it
// against an instrument, with the same model and support classes as the control.
class StatesCli {
public:
    // Exit codes.
    static constexpr int kDone = 0;
    static constexpr int kDifferent = 1;
    static constexpr int kUsage = 2;
    static constexpr int kRefused = 3;
    static constexpr int kFailed = 4;

    StatesCli(QTextStream &out, QTextStream &err);
    int run(const QStringList &arguments);

    // What the bench commands share with the others.
    enum class Missing { Fails, IsEmpty };
    // A document file or a library's document; one that does not exist fails, unless the
    // command creates it.
    std::unique_ptr<DocumentStore> openStore(const QString &location,
                                             Missing missing = Missing::Fails) const;
    StateDocument openDocument(const QString &location, Missing missing = Missing::Fails) const;
    // A new connection to a role's instrument: --instrument, else the role's resource, else the
    // simulated one; --profile, else the role's profile.
    std::shared_ptr<ScpiInstrument> openInstrument(const BenchRole *role);
    // The same, opened when called: the options are read here, so that the instrument can be
    // made on the thread that will talk to it.
    using InstrumentMaker = std::function<std::shared_ptr<ScpiInstrument>()>;
    InstrumentMaker instrumentMaker(const BenchRole *role);
    std::optional<QString> optionValue(const QString &option) const;
    bool isSet(const QString &option) const;
    const std::optional<QString> &name() const { return m_name; }
    const std::optional<QString> &description() const { return m_description; }
    void print(const QJsonObject &json, const QStringList &text);
    int refuse(const QString &message);

private:
    struct Command;
    static const std::vector<Command> &commands();

    int runCommand(const Command &command, const QStringList &arguments);
    int usage(const QString &problem = QString());
    int commandHelp(const Command &command);

    int list(const QStringList &args);
    int capture(const QStringList &args);
    int restore(const QStringList &args);
    int rename(const QStringList &args);
    int remove(const QStringList &args);
    int exportState(const QStringList &args);
    int importState(const QStringList &args);
    int diff(const QStringList &args);
    int demo(const QStringList &args);
    int listProfiles(const QStringList &args);
    int checkProfile();
    int discover(const QStringList &args);
    int undoRestore(const QStringList &args);
    int captureVersion(DocumentStore &store, BenchRole &role);
    int requestedVersion(DocumentStore &store) const;
    // A capture the document could not take is kept in a state file, and the error says where.
    [[noreturn]] static void keepCapture(const std::shared_ptr<ItemStateInfo> &state,
                                         const AutomationError &error);

    // The instrument of a single-instrument command, opened once.
    const SetupInterfaceRef &instrument(const BenchRole &role);
    void watch(ScpiInstrument &instrument);
    const std::shared_ptr<const InstrumentProfiles> &profiles();
    QVariant dataOf(const QString &reference);
    int printList(const BenchRole &role, const QString &document);
    void printError(std::int32_t number, const QString &source, const QString &description);
    void printWarning(const QString &warning);

    QTextStream &m_out;
    QTextStream &m_err;
    QCommandLineParser m_parser;
    SetupInterfaceRef m_instrument;
    // The messages and new names of the document's rules.
    std::shared_ptr<IxoResource> m_texts;
    std::shared_ptr<const InstrumentProfiles> m_profiles;
    // Warnings come from the instruments' threads during bench commands.
    std::mutex m_errLock;
    bool m_json = false;
    std::optional<QString> m_name;
    std::optional<QString> m_description;
};

} // namespace ixo
