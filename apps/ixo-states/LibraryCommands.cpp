#include "LibraryCommands.h"

#include "StatesCli.h"
#include "library/LibraryAddress.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/StateDocument.h"

#include <QFileInfo>
#include <QJsonArray>

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

} // namespace ixo
