#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "library/LibraryAddress.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "server/TypeLibrary.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace ixo;

namespace {

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

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }

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

    void createsSchemaOnce() {
        QTemporaryDir dir;
        const auto address = LibraryAddress::parse("sqlite:" + dir.filePath("lab.db"));
        SetupLibrary(address, LibrarySchema::Missing::IsCreated)
            .importDocument(QStringLiteral("rf"), benchDocument());
        SetupLibrary again(address, LibrarySchema::Missing::IsCreated);
        QCOMPARE(again.documents(), QStringList{QStringLiteral("rf")});
        QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "check");
        database.setDatabaseName(address.database());
        QVERIFY(database.open());
        QSqlQuery query(QStringLiteral("SELECT COUNT(*), MAX(version) FROM schema_version"),
                        database);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
        QCOMPARE(query.value(1).toInt(), LibrarySchema::kVersion);
    }

    void refusesNewerSchema() {
        QTemporaryDir dir;
        const auto address = LibraryAddress::parse("sqlite:" + dir.filePath("lab.db"));
        SetupLibrary(address, LibrarySchema::Missing::IsCreated);
        {
            QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "newer");
            database.setDatabaseName(address.database());
            QVERIFY(database.open());
            QVERIFY(QSqlQuery(database).exec("INSERT INTO schema_version (version) VALUES (7)"));
        }
        QSqlDatabase::removeDatabase("newer");
        const QByteArray before = digestOf(address.database());
        const QString error = test::errorTextOf([&] {
            SetupLibrary(address, LibrarySchema::Missing::IsCreated)
                .importDocument("rf", benchDocument());
        });
        QVERIFY2(error.contains("was made by a newer version of IxoInstrSetups (library schema 7"),
                 qPrintable(error));
        QVERIFY(error.endsWith("Nothing was changed."));
        QCOMPARE(digestOf(address.database()), before);
    }

    void roundTripsBench() {
        QTemporaryDir dir;
        const auto address = LibraryAddress::parse("sqlite:" + dir.filePath("lab.db"));
        const StateDocument original = benchDocument();
        SetupLibrary(address, LibrarySchema::Missing::IsCreated).importDocument("rf", original);
        const StateDocument copy = SetupLibrary(address).exportDocument("rf", texts());
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

    void refusesTakenName() {
        QTemporaryDir dir;
        const auto address = LibraryAddress::parse("sqlite:" + dir.filePath("lab.db"));
        SetupLibrary(address, LibrarySchema::Missing::IsCreated)
            .importDocument("rf", benchDocument());
        const QByteArray before = digestOf(address.database());
        SetupLibrary library(address);
        StateDocument other(texts());
        QCOMPARE(test::errorOf([&] { library.importDocument("rf", other); }),
                 ErrorNumber::DuplicateKey);
        QCOMPARE(digestOf(address.database()), before);
        QCOMPARE(library.exportDocument("rf", texts()).roles().size(), std::size_t(2));
    }

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
