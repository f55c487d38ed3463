#pragma once

#include "library/LibraryAddress.h"

#include <QSqlDatabase>
#include <QString>

// The PostgreSQL server ctest starts for the library tests (scripts/library-test-server.sh), found
// through IXO_LIBRARY_SERVER. Without one, the PostgreSQL cases skip, saying why.
class LibraryTestServer {
public:
    // Takes the server's environment (PGPASSFILE) for the whole process.
    LibraryTestServer();

    bool isAvailable() const { return m_skipReason.isEmpty(); }
    const QString &skipReason() const { return m_skipReason; }
    // postgresql://user@127.0.0.1:port/database, to which a caller may add ?document=.
    const QString &address() const { return m_address; }

    // The address of an empty database of that name, dropped first when a former case left it,
    // so that no case sees another's data; empty when it fails, errorString() saying why.
    QString freshDatabase(const QString &name);
    const QString &errorString() const { return m_errorString; }

    // Stops the server at once, as a crash would; start() brings it back on the same port.
    bool kill();
    bool start();

    // A connection of the test's own to the database at address, beside the library's; open
    // unless lastError() says otherwise.
    static QSqlDatabase connect(const ixo::LibraryAddress &address, const QString &connection);

private:
    bool run(const QString &action);

    QString m_dir;
    QString m_address;
    QString m_skipReason;
    QString m_errorString;
};
