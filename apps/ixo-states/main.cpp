#include "StatesCli.h"
#include "server/TypeLibrary.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    // The user's instrument profiles live in the folder these names give.
    QCoreApplication::setOrganizationName(QStringLiteral("IxoInstrSetups"));
    QCoreApplication::setApplicationName(QStringLiteral("ixo-states"));
    ixo::TypeLibrary::registerServer();
    QTextStream out(stdout);
    QTextStream err(stderr);
    ixo::StatesCli cli(out, err);
    return cli.run(app.arguments().mid(1));
}
