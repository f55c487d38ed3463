#include "AutomationAssert.h"
#include "LibraryTestServer.h"
#include "automation/ErrorNumber.h"
#include "library/LibraryAddress.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "server/TypeLibrary.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <optional>
#include <thread>

using namespace ixo;

namespace {

const QString kSqlite = QStringLiteral("sqlite");
const QString kPostgresql = QStringLiteral("postgresql");

std::shared_ptr<IxoResource> texts() {
    return std::make_shared<CIxoResourcesDefault>();
}

std::shared_ptr<ItemStateInfo> stateOf(const QString &name, const QVariant &data) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(name);
    state->setDescription(name + QStringLiteral(" at the bench"));
    state->setModel(QStringLiteral("33522B"));
    state->setVersion(QStringLiteral("4.00"));
    state->setData(data);
    return state;
}

QByteArray everyByte() {
    QByteArray bytes;
    for (int byte = 0; byte < 256; ++byte)
        bytes.append(char(byte));
    return bytes + QByteArray("\x00\xff\x00", 3);
}

// A bench of two roles, one state holding every byte value.
StateDocument benchDocument() {
    StateDocument document(texts());
    BenchRole &generator = document.addRole(QStringLiteral("generator"),
                                            QStringLiteral("TCPIP::10.0.0.5::5025::SOCKET"),
                                            QStringLiteral("keysight-33500"));
    generator.add(stateOf(QStringLiteral("Binary"), everyByte()));
    generator.add(stateOf(QStringLiteral("Carrier"), QStringLiteral(":FREQ 1E6\n")));
    BenchRole &scope = document.addRole(QStringLiteral("scope"), QStringLiteral("SIM"), QString());
    scope.add(stateOf(QStringLiteral("Wide"), QByteArray("\xff\x00", 2)));
    return document;
}

QByteArray digestOf(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Runs a statement on a connection of the test's own, beside the library's, and hands back the
// rows it gives; false, with a warning, when it fails.
bool ask(const LibraryAddress &address, const QString &statement,
         QList<QVariantList> *rows = nullptr) {
    const QString connection = QStringLiteral("ixo-test-ask");
    bool done = false;
    {
        QSqlDatabase database = LibraryTestServer::connect(address, connection);
        QSqlQuery query(database);
        done = database.isOpen() && query.exec(statement);
        if (!done)
            qWarning(
                "%s: %s", qPrintable(statement),
                qPrintable((database.isOpen() ? query.lastError() : database.lastError()).text()));
        while (done && rows && query.next()) {
            QVariantList row;
            for (int column = 0; column < query.record().count(); ++column)
                row << query.value(column);
            rows->append(row);
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return done;
}

// What "Nothing was changed" is held to: SQLite's file byte for byte, every row of every table
// on PostgreSQL. Empty when the library cannot be read.
QByteArray fingerprintOf(const LibraryAddress &address) {
    if (address.kind() == LibraryAddress::Kind::Sqlite)
        return digestOf(address.database());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QList<QVariantList> tables;
    if (!ask(address,
             QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                            "table_schema = 'public' ORDER BY table_name"),
             &tables))
        return {};
    for (const QVariantList &table : tables) {
        QList<QVariantList> rows;
        if (!ask(address, QStringLiteral("SELECT * FROM ") + table.value(0).toString(), &rows))
            return {};
        QStringList lines;
        for (const QVariantList &row : rows) {
            QStringList values;
            for (const QVariant &value : row)
                values << (value.typeId() == QMetaType::QByteArray
                               ? QString::fromLatin1(value.toByteArray().toHex())
                               : value.toString());
            lines << values.join(QLatin1Char(','));
        }
        lines.sort();
        hash.addData(table.value(0).toString().toUtf8() + '\n' + lines.join('\n').toUtf8());
    }
    return hash.result();
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT

private:
    // Rows sqlite and postgresql for a case that holds on both; init() gives each row an empty
    // library of its own.
    void onBothBackends() {
        m_onBothBackends.insert(QString::fromLatin1(QTest::currentTestFunction()));
        QTest::addColumn<QString>("backend");
        QTest::newRow("sqlite") << kSqlite;
        QTest::newRow("postgresql") << kPostgresql;
    }
    const LibraryAddress &library() const { return *m_library; }

    LibraryTestServer m_server;
    QSet<QString> m_onBothBackends;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::optional<LibraryAddress> m_library;

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }

    void init() {
        const QString function = QString::fromLatin1(QTest::currentTestFunction());
        if (!m_onBothBackends.contains(function))
            return;
        QFETCH(QString, backend);
        if (backend == kSqlite) {
            m_dir = std::make_unique<QTemporaryDir>();
            m_library = LibraryAddress::parse("sqlite:" + m_dir->filePath("lab.db"));
            return;
        }
        if (!m_server.isAvailable())
            QSKIP(qPrintable(m_server.skipReason()));
        const QString address = m_server.freshDatabase("ixo_" + function.toLower());
        QVERIFY2(!address.isEmpty(), qPrintable(m_server.errorString()));
        m_library = LibraryAddress::parse(address);
    }
    void cleanup() {
        m_library.reset();
        m_dir.reset();
    }

    void parsesAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("document");
        QTest::newRow("sqlite") << "sqlite:/srv/lab.db"
                                << "QSQLITE"
                                << "/srv/lab.db"
                                << "" << -1 << "";
        QTest::newRow("sqlite relative, document") << "sqlite:lab.db?document=bench%201"
                                                   << "QSQLITE"
                                                   << "lab.db"
                                                   << "" << -1 << "bench 1";
        QTest::newRow("postgresql") << "postgresql://lab@db.example:5433/setups?document=rf"
                                    << "QPSQL"
                                    << "setups"
                                    << "db.example" << 5433 << "rf";
        QTest::newRow("postgres, local socket") << "postgres:///setups"
                                                << "QPSQL"
                                                << "setups"
                                                << "" << -1 << "";
    }
    void parsesAddresses() {
        QFETCH(QString, text);
        QFETCH(QString, driver);
        QFETCH(QString, database);
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(QString, document);
        QVERIFY(LibraryAddress::isLibraryAddress(text));
        const LibraryAddress address = LibraryAddress::parse(text);
        QCOMPARE(address.driver(), driver);
        QCOMPARE(address.database(), database);
        QCOMPARE(address.host(), host);
        QCOMPARE(address.port(), port);
        QCOMPARE(address.document(), document);
    }

    void refusesAddresses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("why");
        QTest::newRow("file path") << "bench.ixs"
                                   << "neither sqlite: nor postgresql://";
        QTest::newRow("no file") << "sqlite:?document=x"
                                 << "names no database file";
        QTest::newRow("sqlite option") << "sqlite:a.db?mode=ro"
                                       << "no option but document=";
        QTest::newRow("no database") << "postgresql://db.example"
                                     << "names no database";
        QTest::newRow("empty document") << "sqlite:a.db?document="
                                        << "names no document";
        QTest::newRow("password") << "postgresql://lab:s3cret@db/setups"
                                  << "holds no password";
        QTest::newRow("empty password") << "postgresql://lab:@db/setups"
                                        << "holds no password";
        QTest::newRow("password option") << "postgresql://db/setups?password=s3cret"
                                         << "holds no password";
    }
    void refusesAddresses() {
        QFETCH(QString, text);
        QFETCH(QString, why);
        const QString error = test::errorTextOf([&] { LibraryAddress::parse(text); });
        QVERIFY2(error.contains(why), qPrintable(error));
        QVERIFY2(!error.contains(QStringLiteral("s3cret")), qPrintable(error));
    }

    void createsSchemaOnce_data() { onBothBackends(); }
    void createsSchemaOnce() {
        SetupLibrary(library(), LibrarySchema::Missing::IsCreated)
            .importDocument(QStringLiteral("rf"), benchDocument());
        SetupLibrary again(library(), LibrarySchema::Missing::IsCreated);
        QCOMPARE(again.documents(), QStringList{QStringLiteral("rf")});
        QList<QVariantList> rows;
        QVERIFY(ask(library(), "SELECT COUNT(*), MAX(version) FROM schema_version", &rows));
        // One row for each step from the first schema.
        QCOMPARE(rows.value(0).value(0).toInt(), LibrarySchema::kVersion);
        QCOMPARE(rows.value(0).value(1).toInt(), LibrarySchema::kVersion);
    }

    void refusesNewerSchema_data() { onBothBackends(); }
    void refusesNewerSchema() {
        SetupLibrary(library(), LibrarySchema::Missing::IsCreated);
        QVERIFY(ask(library(), "INSERT INTO schema_version (version) VALUES (7)"));
        const QByteArray before = fingerprintOf(library());
        QVERIFY(!before.isEmpty());
        const QString error = test::errorTextOf([&] {
            SetupLibrary(library(), LibrarySchema::Missing::IsCreated)
                .importDocument("rf", benchDocument());
        });
        QVERIFY2(error.contains("was made by a newer version of IxoInstrSetups (library schema 7"),
                 qPrintable(error));
        QVERIFY(error.endsWith("Nothing was changed."));
        QCOMPARE(fingerprintOf(library()), before);
    }

    void roundTripsBench_data() { onBothBackends(); }
    void roundTripsBench() {
        const StateDocument original = benchDocument();
        SetupLibrary(library(), LibrarySchema::Missing::IsCreated).importDocument("rf", original);
        const StateDocument copy = SetupLibrary(library()).exportDocument("rf", texts());
        QCOMPARE(copy.roles().size(), original.roles().size());
        for (std::size_t r = 0; r < original.roles().size(); ++r) {
            const BenchRole &was = original.roles()[r];
            const BenchRole &is = copy.roles()[r];
            QCOMPARE(is.name(), was.name());
            QCOMPARE(is.resource(), was.resource());
            QCOMPARE(is.profile(), was.profile());
            QCOMPARE(is.count(), was.count());
            const auto wasStates = was.states();
            const auto isStates = is.states();
            for (std::size_t s = 0; s < wasStates.size(); ++s) {
                const auto &a = wasStates[s];
                const auto &b = isStates[s];
                QCOMPARE(b->Name(), a->Name());
                QCOMPARE(b->Description(), a->Description());
                QCOMPARE(b->Model(), a->Model());
                QCOMPARE(b->Version(), a->Version());
                QCOMPARE(b->data().typeId(), a->data().typeId());
                QCOMPARE(b->data(), a->data());
            }
        }
    }

    void refusesTakenName_data() { onBothBackends(); }
    void refusesTakenName() {
        SetupLibrary(library(), LibrarySchema::Missing::IsCreated)
            .importDocument("rf", benchDocument());
        const QByteArray before = fingerprintOf(library());
        QVERIFY(!before.isEmpty());
        SetupLibrary setups(library());
        StateDocument other(texts());
        QCOMPARE(test::errorOf([&] { setups.importDocument("rf", other); }),
                 ErrorNumber::DuplicateKey);
        QCOMPARE(fingerprintOf(library()), before);
        QCOMPARE(setups.exportDocument("rf", texts()).roles().size(), std::size_t(2));
    }

    // The server goes down while a document is half written: what was committed before is all
    // the library holds once the server is back.
    void refusesWhatIsNoLibrary_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("why");
        QTest::newRow("text") << QByteArray("Bench notes: recalibrate the reference.\n")
                              << "cannot be read: file is not a database";
        QTest::newRow("damaged") << QByteArray("SQLite format 3\0", 16) + QByteArray(4000, 'x')
                                 << "cannot be read:";
        QTest::newRow("other database") << QByteArray() << "is not a setup library";
    }
    void refusesWhatIsNoLibrary() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, why);
        QTemporaryDir dir;
        QFile file(dir.filePath("notes.db"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        const QString error = test::errorTextOf(
            [&] { SetupLibrary(LibraryAddress::parse("sqlite:" + file.fileName())); });
        QVERIFY2(error.contains(why), qPrintable(error));
        QCOMPARE(file.size(), contents.size());
    }

    void refusesMissingLibrary() {
        QTemporaryDir dir;
        const QString path = dir.filePath("missing.db");
        QCOMPARE(test::errorOf([&] { SetupLibrary(LibraryAddress::parse("sqlite:" + path)); }),
                 ErrorNumber::FileNotFound);
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
