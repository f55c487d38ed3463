#include "AutomationAssert.h"
#include "LibraryTestServer.h"
#include "automation/ErrorNumber.h"
#include "library/LibraryAudit.h"
#include "library/LibraryDocument.h"
#include "library/LibraryHistory.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "server/TypeLibrary.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>
#include <thread>

using namespace ixo;

namespace {

std::shared_ptr<ItemStateInfo> stateOf(const QString &name, const QVariant &data) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(name);
    state->setModel(QStringLiteral("33522B"));
    state->setVersion(QStringLiteral("4.00"));
    state->setData(data);
    return state;
}

// A station: its own connection to the library and its own copy of the document.
struct Station {
    Station(const QString &address, const QString &name)
        : library((qputenv("IXO_STATION", name.toUtf8()), LibraryAddress::parse(address)),
                  LibrarySchema::Missing::IsCreated)
        , document(library, QStringLiteral("rf")) {
        document.read(std::make_shared<CIxoResourcesDefault>(), LibrarySchema::Missing::IsCreated);
    }
    BenchRole &role() { return document.document().role(); }
    QStringList names() {
        QStringList names;
        for (const auto &state : role().states())
            names << state->Name();
        return names;
    }

    SetupLibrary library;
    LibraryDocument document;
};

using Change = std::function<void(BenchRole &)>;

Change renameTo(const QString &name) {
    return [name](BenchRole &role) { role.rename(QStringLiteral("Carrier"), name, std::nullopt); };
}

Change removeIt() {
    return [](BenchRole &role) { role.remove(QStringLiteral("Carrier")); };
}

Change add(const QString &name) {
    return [name](BenchRole &role) { role.add(stateOf(name, QByteArray(name.toUtf8()))); };
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestLibraryDocument : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    LibraryTestServer m_server;

    // A new, empty library of the row's backend for each case.
    QString library() {
        QFETCH_GLOBAL(bool, postgresql);
        const QString name = QStringLiteral("%1_%2")
                                 .arg(QTest::currentTestFunction(), QTest::currentDataTag())
                                 .toLower()
                                 .replace(QRegularExpression("[^a-z0-9_]"), "_")
                                 .left(60);
        if (!postgresql)
            return QStringLiteral("sqlite:%1?document=rf").arg(m_dir.filePath(name + ".db"));
        if (!m_server.isAvailable())
            return {};
        const QString address = m_server.freshDatabase(name);
        return address.isEmpty() ? address : address + QStringLiteral("?document=rf");
    }

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }
    void initTestCase_data() {
        QTest::addColumn<bool>("postgresql");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgresql") << true;
    }
    void init() {
        QFETCH_GLOBAL(bool, postgresql);
        if (postgresql && !m_server.isAvailable())
            QSKIP(qPrintable(m_server.skipReason()));
    }

    void stationsKeepEachOthersStates() {
        const QString address = library();
        Station first(address, "station-1");
        Station second(address, "station-2");
        first.role().add(stateOf("Carrier", QByteArray(64 * 1024, '\x5a')));
        first.document.save();
        second.role().add(stateOf("Sweep", QStringLiteral(":FREQ:STAR 1E6\n")));
        second.document.save();
        // Each saved only its own change, so each still knows only its own state...
        QCOMPARE(first.names(), QStringList{"Carrier"});
        // ...and a station reading now finds both, with their data.
        Station third(address, "station-3");
        QCOMPARE(third.names(), (QStringList{"Carrier", "Sweep"}));
        QCOMPARE(third.role().state("Carrier")->data().toByteArray(),
                 QByteArray(64 * 1024, '\x5a'));
        QCOMPARE(third.role().state("Sweep")->data().toString(), ":FREQ:STAR 1E6\n");
    }

    void conflictsAreRefused_data() {
        QTest::addColumn<Change>("first");
        QTest::addColumn<Change>("second");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("both rename") << renameTo("A") << renameTo("B")
                                     << "State Carrier was changed by " << QStringList{"A"};
        QTest::newRow("rename, then remove")
            << renameTo("A") << removeIt() << "State Carrier was changed by " << QStringList{"A"};
        QTest::newRow("remove, then rename")
            << removeIt() << renameTo("B") << "State Carrier was removed by " << QStringList{};
        QTest::newRow("same new name")
            << add("Sweep") << add("Sweep") << "State Sweep was saved by "
            << QStringList{"Carrier", "Sweep"};
    }
    void conflictsAreRefused() {
        QFETCH(Change, first);
        QFETCH(Change, second);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        const QString address = library();
        {
            Station maker(address, "maker");
            maker.role().add(stateOf("Carrier", QByteArray("\x01\x02", 2)));
            maker.document.save();
        }
        Station one(address, "station-1");
        Station two(address, "station-2");
        first(one.role());
        one.document.save();
        second(two.role());
        try {
            two.document.save();
            QFAIL("the second station's save was not refused");
        } catch (const RefusedChange &refusal) {
            QCOMPARE(refusal.number(), ErrorNumber::WriteConflict);
            QVERIFY2(refusal.description().startsWith(message), qPrintable(refusal.description()));
            QVERIFY2(refusal.description().contains(" on station-1 at "),
                     qPrintable(refusal.description()));
            QVERIFY(refusal.description().contains("reload the document"));
        }
        QCOMPARE(Station(address, "reader").names(), kept);
        // Read again, the refused station's change goes through.
        two.document.read(std::make_shared<CIxoResourcesDefault>(), LibrarySchema::Missing::Fails);
        two.role().add(stateOf("Retry", QByteArray("r")));
        two.document.save();
        QVERIFY(Station(address, "reader").names().contains("Retry"));
    }

    void keepsEveryVersion() {
        const QString address = library();
        Station station(address, "station-1");
        station.role().add(stateOf("Carrier", QByteArray("v1")));
        station.document.save();
        station.role().rename("Carrier", "Golden", QStringLiteral("the golden one"));
        station.document.save();
        station.document.release(BenchRole::kDefaultName, "Golden");
        const auto revised = stateOf("ignored", QByteArray("v2"));
        station.document.revise(BenchRole::kDefaultName, "Golden", *revised);
        // A released state changes only by a new version, never in place.
        const Change inPlace[] = {
            [](BenchRole &role) { role.rename("Golden", "Other", std::nullopt); },
            [](BenchRole &role) { role.rename("Golden", "Golden", QStringLiteral("new")); },
            [](BenchRole &role) { role.remove("Golden"); }};
        for (const Change &change : inPlace) {
            Station other(address, "station-2");
            change(other.role());
            QCOMPARE(test::errorOf([&] { other.document.save(); }), ErrorNumber::PermissionDenied);
        }
        LibraryHistory history(station.library, station.document.roleId(BenchRole::kDefaultName));
        QStringList changes;
        for (const auto &version : history.versions("Golden"))
            changes << QStringLiteral("%1 %2 %3")
                           .arg(version.version)
                           .arg(version.change, version.name);
        QCOMPARE(changes, (QStringList{"1 captured Carrier", "2 renamed Golden",
                                       "3 released Golden", "4 revised Golden"}));
        // A rename keeps the setup of the version before it.
        QCOMPARE(history.state("Golden", 2)->data().toByteArray(), QByteArray("v1"));
        QCOMPARE(history.state("Golden", 2)->Description(), "the golden one");
        QCOMPARE(history.state("Golden", 4)->data().toByteArray(), QByteArray("v2"));
        QCOMPARE(Station(address, "reader").role().state("Golden")->data().toByteArray(),
                 QByteArray("v2"));
        QCOMPARE(test::errorOf([&] { history.state("Golden", 9); }),
                 ErrorNumber::InvalidProcedureCall);
        // A removed state's versions stay.
        station.role().add(stateOf("Scratch", QByteArray("s")));
        station.document.save();
        station.role().remove("Scratch");
        station.document.save();
        QCOMPARE(history.versions("Scratch").back().change, "removed");
        QCOMPARE(history.state("Scratch", 1)->data().toByteArray(), QByteArray("s"));
    }

    void recordsRestores() {
        const QString address = library();
        Station station(address, "station-7");
        LibraryAudit audit(station.library);
        audit.record(
            {"rf", "scope", "Golden", 3, "KEYSIGHT,DSOX3024T,MY1,7.50", ChangeRecord::here()});
        audit.record(
            {"rf", "generator", "Golden", 1, "Agilent,33522B,MY2,4.00", ChangeRecord::here()});
        const auto all = audit.since({});
        QCOMPARE(all.size(), std::size_t(2));
        QCOMPARE(all[0].role, "scope");
        QCOMPARE(all[0].version, 3);
        QCOMPARE(all[0].instrument, "KEYSIGHT,DSOX3024T,MY1,7.50");
        QCOMPARE(all[0].by.station, "station-7");
        QVERIFY(qAbs(all[1].by.at.secsTo(QDateTime::currentDateTimeUtc())) < 120);
        QVERIFY(audit.since(QDateTime::currentDateTimeUtc().addSecs(3600)).empty());
    }

    // The server dies while a save waits inside its transaction.
    void lostServerWritesNothing() {
        QFETCH_GLOBAL(bool, postgresql);
        if (!postgresql)
            QSKIP("a SQLite file cannot go away mid-transaction");
        const QString address = library();
        Station station(address, "station-1");
        station.role().add(stateOf("Kept", QByteArray("k")));
        station.document.save();
        {
            QSqlDatabase admin = LibraryTestServer::connect(LibraryAddress::parse(address), "slow");
            QSqlQuery query(admin);
            QVERIFY2(query.exec("CREATE FUNCTION slow() RETURNS trigger AS $$ BEGIN PERFORM "
                                "pg_sleep(30); RETURN NEW; END $$ LANGUAGE plpgsql") &&
                         query.exec("CREATE TRIGGER slow AFTER INSERT ON state_versions FOR "
                                    "EACH ROW WHEN (NEW.name = 'Slow') EXECUTE FUNCTION slow()"),
                     qPrintable(query.lastError().text()));
        }
        QSqlDatabase::removeDatabase("slow");
        station.role().add(stateOf("Before", QByteArray("b")));
        station.role().add(stateOf("Slow", QByteArray("s")));
        std::thread killer([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            m_server.kill();
        });
        const int number = test::errorOf([&] { station.document.save(); });
        killer.join();
        QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
        QCOMPARE(number, ErrorNumber::DeviceUnavailable);
        // The window's document still holds the change...
        QCOMPARE(station.names(), (QStringList{"Kept", "Before", "Slow"}));
        // ...and the library holds none of it.
        QCOMPARE(Station(address, "reader").names(), QStringList{"Kept"});
    }

    // The roles of the documentation: a station reads, restores and audits, and changes no state.
    void stationRoleChangesNoState() {
        QFETCH_GLOBAL(bool, postgresql);
        if (!postgresql)
            QSKIP("SQLite has no roles");
        const QString address = library();
        {
            Station owner(address, "owner");
            owner.role().add(stateOf("Golden", QByteArray("g")));
            owner.document.save();
            QFile script(QStringLiteral(IXO_LIBRARY_ROLES));
            QVERIFY(script.open(QIODevice::ReadOnly));
            QSqlQuery query(owner.library.database());
            QVERIFY2(query.exec(QString::fromUtf8(script.readAll())) &&
                         query.exec("DROP ROLE IF EXISTS station_1") &&
                         query.exec("CREATE ROLE station_1 LOGIN PASSWORD 'station-secret' IN "
                                    "ROLE ixo_station"),
                     qPrintable(query.lastError().text()));
        }
        // The station's password, beside the owner's, in a password file of the test's own.
        const QByteArray ownPasswords = qgetenv("PGPASSFILE");
        QFile owners(QString::fromLocal8Bit(ownPasswords));
        QVERIFY(owners.open(QIODevice::ReadOnly));
        const QString passwords = m_dir.filePath("pgpass");
        QFile file(passwords);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(owners.readAll() + "*:*:*:station_1:station-secret\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", passwords.toLocal8Bit());
        QUrl url(address);
        url.setUserName("station_1");
        {
            Station station(url.toString(), "station-1");
            QCOMPARE(station.names(), QStringList{"Golden"});
            station.role().history().push({"33522B", "4.00", QByteArray("before"),
                                           QDateTime::currentDateTimeUtc(), "Golden"});
            station.document.save();
            LibraryAudit(station.library)
                .record({"rf", BenchRole::kDefaultName, "Golden", 1, "Agilent,33522B,MY2,4.00",
                         ChangeRecord::here()});
            station.role().add(stateOf("Mine", QByteArray("m")));
            const QString error = test::errorTextOf([&] { station.document.save(); });
            QVERIFY2(error.contains("does not allow this user to change it"), qPrintable(error));
        }
        qputenv("PGPASSFILE", ownPasswords);
        QCOMPARE(Station(address, "reader").names(), QStringList{"Golden"});
    }

    void upgradesFirstSchema() {
        QFETCH_GLOBAL(bool, postgresql);
        if (postgresql)
            QSKIP("the first schema is the same on both");
        const QString file = m_dir.filePath("first.db");
        {
            QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", "first");
            database.setDatabaseName(file);
            QVERIFY(database.open());
            QSqlQuery query(database);
            for (const char *statement :
                 {"CREATE TABLE schema_version (version INTEGER NOT NULL, applied_at TIMESTAMP "
                  "NOT NULL DEFAULT CURRENT_TIMESTAMP)",
                  "INSERT INTO schema_version (version) VALUES (1)",
                  "CREATE TABLE documents (id INTEGER PRIMARY KEY, name VARCHAR(255) NOT NULL "
                  "UNIQUE, created_at TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP)",
                  "CREATE TABLE roles (id INTEGER PRIMARY KEY, document_id INTEGER NOT NULL, "
                  "name VARCHAR(255) NOT NULL, resource TEXT NOT NULL, profile TEXT NOT "
                  "NULL, position INTEGER NOT NULL, UNIQUE (document_id, name))",
                  "CREATE TABLE states (id INTEGER PRIMARY KEY, role_id INTEGER NOT NULL, "
                  "name VARCHAR(255) NOT NULL, description TEXT NOT NULL, model TEXT NOT "
                  "NULL, version TEXT NOT NULL, data_kind VARCHAR(16) NOT NULL, data BLOB NOT "
                  "NULL, position INTEGER NOT NULL, row_version INTEGER NOT NULL DEFAULT 1, "
                  "changed_by TEXT NOT NULL, changed_at TIMESTAMP NOT NULL DEFAULT "
                  "CURRENT_TIMESTAMP, UNIQUE (role_id, name))",
                  "INSERT INTO documents (id, name) VALUES (1, 'rf')",
                  "INSERT INTO roles VALUES (1, 1, 'instrument', 'SIM', '', 0)",
                  "INSERT INTO states (role_id, name, description, model, version, data_kind, "
                  "data, position, changed_by) VALUES (1, 'Old', '', '33522B', '4.00', "
                  "'bytes', X'0102', 0, 'alice')"})
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
        QSqlDatabase::removeDatabase("first");
        const QString address = "sqlite:" + file + "?document=rf";
        Station station(address, "station-1");
        QCOMPARE(station.role().state("Old")->data().toByteArray(), QByteArray("\x01\x02", 2));
        LibraryHistory history(station.library, station.document.roleId(BenchRole::kDefaultName));
        QCOMPARE(history.versions("Old").front().by.user, "alice");
        station.role().rename("Old", "Older", std::nullopt);
        station.document.save();
        QCOMPARE(history.versions("Older").size(), std::size_t(2));
        QCOMPARE(LibrarySchema::versionOf(station.library.database(), address),
                 LibrarySchema::kVersion);
    }
};

QTEST_GUILESS_MAIN(TestLibraryDocument)
#include "tst_librarydocument.moc"
