#include "LibraryCommands.h"

#include "StatesCli.h"
#include "automation/ErrorNumber.h"
#include "library/DocumentStore.h"
#include "library/LibraryAddress.h"
#include "library/LibraryAudit.h"
#include "library/LibraryDocument.h"
#include "library/LibraryHistory.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/StateDocument.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace ixo {

LibraryCommands::LibraryCommands(StatesCli &cli)
    : m_cli(cli) {}

int LibraryCommands::list(const QStringList &args) {
    SetupLibrary library(LibraryAddress::parse(args[0]));
    const QStringList names = library.documents();
    QStringList text{QStringLiteral("%1: %2 document(s)").arg(args[0]).arg(names.size())};
    for (const QString &name : names)
        text << QStringLiteral("  ") + name;
    m_cli.print({{QStringLiteral("library"), args[0]},
                 {QStringLiteral("documents"), QJsonArray::fromStringList(names)}},
                text);
    return StatesCli::kDone;
}

// The document's name: the address's document=, else the file's base name.
int LibraryCommands::importDocument(const QStringList &args) {
    const LibraryAddress address = LibraryAddress::parse(args[0]);
    const QString name =
        address.document().isEmpty() ? QFileInfo(args[1]).completeBaseName() : address.document();
    const StateDocument document = m_cli.openDocument(args[1]);
    SetupLibrary library(address, LibrarySchema::Missing::IsCreated);
    library.importDocument(name, document);
    m_cli.print({{QStringLiteral("library"), args[0]},
                 {QStringLiteral("document"), name},
                 {QStringLiteral("roles"), int(document.roles().size())}},
                {QStringLiteral("%1: imported %2 as %3").arg(args[0], args[1], name)});
    return StatesCli::kDone;
}

int LibraryCommands::exportDocument(const QStringList &args) {
    SetupLibrary library(LibraryAddress::parse(args[0]));
    StateDocument document =
        library.exportDocument(args[1], std::make_shared<CIxoResourcesDefault>());
    document.save(args[2]);
    m_cli.print({{QStringLiteral("library"), args[0]},
                 {QStringLiteral("document"), args[1]},
                 {QStringLiteral("file"), args[2]}},
                {QStringLiteral("%1: exported %2 to %3").arg(args[0], args[1], args[2])});
    return StatesCli::kDone;
}

int LibraryCommands::history(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    const QString role = store->document()
                             .role(m_cli.optionValue(QStringLiteral("role")).value_or(QString()))
                             .name();
    LibraryDocument *document = libraryOf(*store);
    const auto versions = document->history(role).versions(args[1]);
    QJsonArray json;
    QStringList text{
        QStringLiteral("%1: state %2, %3 version(s)").arg(args[0], args[1]).arg(versions.size())};
    for (const LibraryHistory::Version &version : versions) {
        json.append(QJsonObject{{QStringLiteral("version"), version.version},
                                {QStringLiteral("change"), version.change},
                                {QStringLiteral("name"), version.name},
                                {QStringLiteral("description"), version.description},
                                {QStringLiteral("model"), version.model},
                                {QStringLiteral("modelVersion"), version.modelVersion},
                                {QStringLiteral("user"), version.by.user},
                                {QStringLiteral("station"), version.by.station},
                                {QStringLiteral("time"), version.by.at.toString(Qt::ISODate)}});
        text << QStringLiteral("  %1. %2 %3 - %4 [%5 %6] by %7")
                    .arg(version.version)
                    .arg(version.change.leftJustified(8), version.name, version.description,
                         version.model, version.modelVersion, version.by.text());
    }
    m_cli.print({{QStringLiteral("document"), args[0]},
                 {QStringLiteral("state"), args[1]},
                 {QStringLiteral("versions"), json}},
                text);
    return StatesCli::kDone;
}

int LibraryCommands::release(const QStringList &args) {
    const auto store = m_cli.openStore(args[0]);
    const QString role = store->document()
                             .role(m_cli.optionValue(QStringLiteral("role")).value_or(QString()))
                             .name();
    LibraryDocument *document = libraryOf(*store);
    document->release(role, args[1]);
    const int version = document->versionOf(role, args[1]);
    m_cli.print(
        {{QStringLiteral("released"), args[1]}, {QStringLiteral("version"), version}},
        {QStringLiteral("%1: released %2 (version %3)").arg(args[0], args[1]).arg(version)});
    return StatesCli::kDone;
}

int LibraryCommands::audit(const QStringList &args) {
    SetupLibrary library(LibraryAddress::parse(args[0]));
    const auto restores = LibraryAudit(library).since(sinceOption());
    QJsonArray json;
    QStringList text{QStringLiteral("%1: %2 restore(s)").arg(args[0]).arg(restores.size())};
    for (const LibraryAudit::Restore &restore : restores) {
        json.append(restore.toJson());
        const QString state = restore.role == BenchRole::kDefaultName
                                  ? restore.state
                                  : restore.role + QLatin1Char('/') + restore.state;
        text << QStringLiteral("  %1  %2 on %3: %4 %5 version %6 to %7")
                    .arg(ChangeRecord::timeText(restore.by.at), restore.by.user, restore.by.station,
                         restore.document, state)
                    .arg(restore.version)
                    .arg(restore.instrument);
    }
    m_cli.print({{QStringLiteral("library"), args[0]}, {QStringLiteral("restores"), json}}, text);
    return StatesCli::kDone;
}

// Local time, as the user reads the audit.
QDateTime LibraryCommands::sinceOption() const {
    const std::optional<QString> text = m_cli.optionValue(QStringLiteral("since"));
    if (!text)
        return {};
    QDateTime since = QDateTime::fromString(*text, Qt::ISODate);
    if (!since.isValid())
        since = QDate::fromString(*text, Qt::ISODate).startOfDay();
    if (!since.isValid())
        throw AutomationError(ErrorNumber::InvalidProcedureCall, QStringLiteral("ixo-states"),
                              QStringLiteral("--since takes a date such as 2026-12-01 or "
                                             "2026-12-01T08:00, not %1")
                                  .arg(*text));
    return since;
}

LibraryDocument *LibraryCommands::libraryOf(DocumentStore &store) {
    if (!store.library())
        throw AutomationError(
            ErrorNumber::InvalidProcedureCall, QStringLiteral("ixo-states"),
            QStringLiteral("%1 is a file: only a library keeps versions").arg(store.location()));
    return store.library();
}

} // namespace ixo
