#include "LibraryTestServer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

using namespace ixo;

namespace {

QString contentsOf(const QString &fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

LibraryTestServer::LibraryTestServer()
    : m_dir(qEnvironmentVariable("IXO_LIBRARY_SERVER")) {
    if (m_dir.isEmpty()) {
        m_skipReason = QStringLiteral("IXO_LIBRARY_SERVER is not set: run through ctest");
        return;
    }
    const QDir dir(m_dir);
    const QString skipReason = contentsOf(dir.filePath(QStringLiteral("skip-reason")));
    m_address = contentsOf(dir.filePath(QStringLiteral("address")));
    if (!skipReason.isEmpty() || m_address.isEmpty()) {
        m_skipReason = QStringLiteral("PostgreSQL test server not started: ") +
                       (skipReason.isEmpty() ? dir.filePath(QStringLiteral("address")) +
                                                   QStringLiteral(" is missing")
                                             : skipReason);
        m_address.clear();
        return;
    }
    const QStringList lines =
        contentsOf(dir.filePath(QStringLiteral("env"))).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            qputenv(line.left(equals).toLocal8Bit(), line.mid(equals + 1).toLocal8Bit());
    }
}

QString LibraryTestServer::freshDatabase(const QString &name) {
    // Quoting a name cannot make up for one the caller did not mean.
    if (!QRegularExpression(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$")).match(name).hasMatch()) {
        m_errorString = name + QStringLiteral(" is not a plain database name");
        return {};
    }
    const QString connection = QStringLiteral("ixo-test-server");
    m_errorString.clear();
    {
        QSqlDatabase database = connect(LibraryAddress::parse(m_address), connection);
        QSqlQuery query(database);
        if (!database.isOpen())
            m_errorString = database.lastError().text();
        else if (!query.exec(QStringLiteral("SET client_min_messages TO warning")))
            m_errorString = query.lastError().text();
        // FORCE: a library that a failed case left open must not keep its database.
        else if (!query.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name)) ||
                 !query.exec(QStringLiteral("CREATE DATABASE %1").arg(name)))
            m_errorString = query.lastError().text();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!m_errorString.isEmpty())
        return {};
    QUrl url(m_address);
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

bool LibraryTestServer::kill() {
    return run(QStringLiteral("kill"));
}

bool LibraryTestServer::start() {
    return run(QStringLiteral("start"));
}

bool LibraryTestServer::run(const QString &action) {
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"),
                 {QStringLiteral(IXO_LIBRARY_SERVER_SCRIPT), action, m_dir});
    const bool finished = script.waitForFinished(120000);
    m_errorString = QString::fromLocal8Bit(script.readAll()).trimmed();
    // A start that found no way to run the server still succeeds, for the fixture's sake.
    return finished && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0 &&
           !QFile::exists(QDir(m_dir).filePath(QStringLiteral("skip-reason")));
}

QSqlDatabase LibraryTestServer::connect(const LibraryAddress &address, const QString &connection) {
    QSqlDatabase database = QSqlDatabase::addDatabase(address.driver(), connection);
    database.setDatabaseName(address.database());
    if (address.kind() == LibraryAddress::Kind::Postgresql) {
        database.setHostName(address.host());
        database.setPort(address.port());
        database.setUserName(address.user());
        database.setConnectOptions(address.options());
    }
    database.open();
    return database;
}
