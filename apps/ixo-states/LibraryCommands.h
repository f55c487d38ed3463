#pragma once

#include <QStringList>

namespace ixo {

class StatesCli;

// `ixo-states library ...`: documents kept in a setup library, listed, imported from and
// exported to document files.
class LibraryCommands {
public:
    explicit LibraryCommands(StatesCli &cli);

    int list(const QStringList &args);
    int importDocument(const QStringList &args);
    int exportDocument(const QStringList &args);

private:
    StatesCli &m_cli;
};

} // namespace ixo
