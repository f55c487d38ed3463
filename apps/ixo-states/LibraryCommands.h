#pragma once

#include <QDateTime>
#include <QStringList>

namespace ixo {

class DocumentStore;
class LibraryDocument;
class StatesCli;

// `ixo-states library ...`: documents kept in a setup library, listed, imported from and
// exported to document files.
class LibraryCommands {
public:
    explicit LibraryCommands(StatesCli &cli);

    int list(const QStringList &args);
    int importDocument(const QStringList &args);
    int exportDocument(const QStringList &args);
    int history(const QStringList &args);
    int release(const QStringList &args);
    int audit(const QStringList &args);

private:
    QDateTime sinceOption() const;
    static LibraryDocument *libraryOf(DocumentStore &store);

    StatesCli &m_cli;
};

} // namespace ixo
