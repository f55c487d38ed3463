#include "AutomationAssert.h"
#include "TestFiles.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/BenchStates.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <mutex>
#include <thread>

using namespace ixo;

namespace {

// An instrument whose setup is one text, asked from a thread per role; it can fail on demand.
class BenchInstrument : public SetupInterface {
public:
    enum class Fault { None, Capture, DropMidCapture, Restore };

    explicit BenchInstrument(QString model, QString setup)
        : m_model(std::move(model))
        , m_setup(std::move(setup)) {}

    QString Model() override { return m_model; }
    QString Version() override { return QStringLiteral("1.0"); }
    QVariant CaptureState() override {
        if (fault == Fault::DropMidCapture) {
            // Long enough that the other roles' captures are under way.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            fail(QStringLiteral("connection lost"));
        }
        if (fault == Fault::Capture)
            fail(QStringLiteral("capture refused"));
        return setup();
    }
    void RestoreState(const QVariant &state) override {
        if (fault == Fault::Restore)
            fail(QStringLiteral("restore refused"));
        setSetup(state.toString());
    }
    ObjectRef ImportLegacyFile(const QString &, const QString &) override { return {}; }

    QString setup() const {
        std::lock_guard lock(m_mutex);
        return m_setup;
    }
    void setSetup(const QString &setup) {
        std::lock_guard lock(m_mutex);
        m_setup = setup;
    }

    std::atomic<Fault> fault = Fault::None;

private:
    [[noreturn]] void fail(const QString &why) {
        throw AutomationError(ErrorNumber::Fail, m_model, why);
    }

    QString m_model;
    mutable std::mutex m_mutex;
    QString m_setup;
};

const QStringList kRoles{"generator", "scope", "supply", "meter"};

// A bench of the four roles, each with an instrument of its own and one state "Base".
struct Bench {
    Bench()
        : document(std::make_shared<CIxoResourcesDefault>())
        , states(document) {
        for (const QString &role : kRoles) {
            document.addRole(role, QStringLiteral("TCPIP::%1::INSTR").arg(role), {});
            instruments[role] = std::make_shared<BenchInstrument>(role.toUpper(), role + "=1");
        }
        states.capture(reach(), QStringLiteral("Base"), {});
    }

    BenchStates::Instruments reach() {
        return [this](const BenchRole &role) -> SetupInterfaceRef {
            if (role.name() == unreachable)
                throw AutomationError(ErrorNumber::Fail, QStringLiteral("VISA"),
                                      QStringLiteral("connection refused"));
            return instruments.at(role.name());
        };
    }
    BenchInstrument &at(const QString &role) { return *instruments.at(role); }
    QStringList namesOf(const QString &role) const {
        QStringList names;
        for (const auto &state : document.role(role).states())
            names << state->Name();
        return names;
    }
    std::map<QString, QStringList> lists() const {
        std::map<QString, QStringList> lists;
        for (const BenchRole &role : document.roles())
            lists[role.name()] = namesOf(role.name());
        return lists;
    }
    void setAll(const QString &suffix) {
        for (const QString &role : kRoles)
            at(role).setSetup(role + suffix);
    }

    StateDocument document;
    BenchStates states;
    std::map<QString, std::shared_ptr<BenchInstrument>> instruments;
    QString unreachable;
};

using Result = BenchReport::Result;

QList<Result> resultsOf(const BenchReport &report) {
    QList<Result> results;
    for (const auto &outcome : report.outcomes())
        results << outcome.result;
    return results;
}

} // namespace

Q_DECLARE_METATYPE(BenchInstrument::Fault)

class TestBench : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }

    void captureIsAllOrNothing_data() {
        QTest::addColumn<QString>("role");
        QTest::addColumn<BenchInstrument::Fault>("fault");
        QTest::addColumn<QString>("error");
        using F = BenchInstrument::Fault;
        QTest::newRow("first refuses") << "generator" << F::Capture << "capture refused";
        QTest::newRow("one drops mid-capture")
            << "supply" << F::DropMidCapture << "connection lost";
        QTest::newRow("last cannot be reached") << "meter" << F::None << "connection refused";
    }
    void captureIsAllOrNothing() {
        QFETCH(QString, role);
        QFETCH(BenchInstrument::Fault, fault);
        QFETCH(QString, error);
        Bench bench;
        const auto before = bench.lists();
        bench.at(role).fault = fault;
        if (fault == BenchInstrument::Fault::None)
            bench.unreachable = role;
        const QString message = test::errorTextOf(
            [&] { bench.states.capture(bench.reach(), QStringLiteral("Golden"), {}); });
        QVERIFY2(message.contains(role) && message.contains(error) &&
                     message.contains(QStringLiteral("TCPIP::%1::INSTR").arg(role)),
                 qPrintable(message));
        QCOMPARE(bench.lists(), before);

        bench.at(role).fault = BenchInstrument::Fault::None;
        bench.unreachable.clear();
        bench.states.capture(bench.reach(), QStringLiteral("Golden"), QStringLiteral("d"));
        for (const QString &name : kRoles) {
            QCOMPARE(bench.namesOf(name), (QStringList{"Base", "Golden"}));
            QCOMPARE(bench.document.role(name).state("Golden")->data().toString(), name + "=1");
        }
        // A name any role holds is refused before any instrument is asked.
        QCOMPARE(test::errorOf([&] { bench.states.capture(bench.reach(), "golden", {}); }),
                 ErrorNumber::DuplicateKey);
    }

    // Roles are restored in the bench's order up to the first failure; every role is reported,
    // the lists do not change, and the restored roles can be put back.
    void restoreReportsEveryRole_data() {
        QTest::addColumn<int>("failing");
        QTest::addColumn<QList<Result>>("results");
        using R = Result;
        QTest::newRow("all") << -1
                             << QList<R>{R::Restored, R::NoSuchState, R::Restored, R::Restored};
        QTest::newRow("first fails")
            << 0 << QList<R>{R::Failed, R::NoSuchState, R::NotReached, R::NotReached};
        QTest::newRow("third fails")
            << 2 << QList<R>{R::Restored, R::NoSuchState, R::Failed, R::NotReached};
    }
    void restoreReportsEveryRole() {
        QFETCH(int, failing);
        QFETCH(QList<Result>, results);
        Bench bench;
        bench.document.role("scope").remove("Base");
        const auto lists = bench.lists();
        bench.setAll("=2");
        if (failing >= 0)
            bench.at(kRoles[failing]).fault = BenchInstrument::Fault::Restore;
        const BenchReport report = bench.states.restore(bench.reach(), QStringLiteral("Base"));
        QCOMPARE(resultsOf(report), results);
        QCOMPARE(report.failed(), failing >= 0);
        QCOMPARE(bench.lists(), lists);
        for (int i = 0; i < kRoles.size(); ++i) {
            const bool restored = results[i] == Result::Restored;
            QCOMPARE(bench.at(kRoles[i]).setup(), kRoles[i] + (restored ? "=1" : "=2"));
        }
        for (const QString &role : report.restoredRoles())
            QCOMPARE(bench.document.role(role).undoRestore(bench.at(role)).replacedBy, "Base");
        for (const QString &role : kRoles)
            QCOMPARE(bench.at(role).setup(), role + "=2");
    }

    // The setups kept before restores are saved with the document: the last ten, newest last.
    void undoSurvivesSaveAndReopen() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.ixs"));
        Bench bench;
        BenchInstrument &scope = bench.at("scope");
        for (int i = 1; i <= 12; ++i) {
            scope.setSetup(QStringLiteral("scope@%1").arg(i));
            bench.document.role("scope").restore(scope, QStringLiteral("Base"));
        }
        bench.document.role("meter").setSafetyCapture(false);
        bench.document.role("meter").restore(bench.at("meter"), QStringLiteral("Base"));
        bench.document.save(path);

        StateDocument reopened =
            StateDocument::open(path, std::make_shared<CIxoResourcesDefault>());
        BenchRole &role = reopened.role("scope");
        QCOMPARE(role.history().size(), RestoreHistory::kMaxEntries);
        QCOMPARE(role.undoRestore(scope).replacedBy, "Base");
        QCOMPARE(scope.setup(), "scope@12");
        BenchInstrument other(QStringLiteral("OTHER"), QStringLiteral("x"));
        QCOMPARE(test::errorOf([&] { role.undoRestore(other); }),
                 ErrorNumber::InvalidProcedureCall);
        QCOMPARE(other.setup(), "x");
        reopened.save();

        StateDocument third = StateDocument::open(path, std::make_shared<CIxoResourcesDefault>());
        QCOMPARE(third.role("scope").history().size(), RestoreHistory::kMaxEntries - 1);
        QCOMPARE(third.role("scope").history().last().data.toString(), "scope@11");
        QVERIFY(!third.role("meter").safetyCapture());
        QCOMPARE(test::errorOf([&] { third.role("meter").undoRestore(bench.at("meter")); }),
                 ErrorNumber::InvalidProcedureCall);
    }

    // Earlier versions read the first role's list where they always did; a bench of several
    // roles is a newer format they refuse.
    void whatEarlierVersionsSee_data() {
        QTest::addColumn<QStringList>("roles");
        QTest::addColumn<int>("format");
        QTest::newRow("one instrument") << QStringList{} << 1;
        QTest::newRow("one named role") << QStringList{"scope"} << 1;
        QTest::newRow("two roles") << QStringList{"scope", "meter"} << 2;
    }
    void whatEarlierVersionsSee() {
        QFETCH(QStringList, roles);
        QFETCH(int, format);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.ixs"));
        StateDocument document(std::make_shared<CIxoResourcesDefault>());
        for (const QString &role : roles)
            document.addRole(role, "TCPIP::" + role, QStringLiteral("p"));
        BenchInstrument instrument(QStringLiteral("M"), QStringLiteral("s"));
        for (const BenchRole &role : document.roles())
            document.role(role.name()).capture(instrument, role.name() + "-A", {});
        document.save(path);

        const PropertyBag bag = StateDocument::load(path);
        QCOMPARE(bag.ReadProperty(StateDocument::kFormatVersionKey).toInt(), format);
        const auto first = StateDocument::stateListOf(bag, path);
        QCOMPARE(first->Items()->Count(), 1);
        QCOMPARE(first->item(1)->Name(), document.roles().front().name() + "-A");
        const StateDocument reopened =
            StateDocument::open(path, std::make_shared<CIxoResourcesDefault>());
        QCOMPARE(reopened.isBench(), !roles.isEmpty());
        for (const BenchRole &role : reopened.roles()) {
            QCOMPARE(role.resource(), document.role(role.name()).resource());
            QCOMPARE(role.find(role.name() + "-A")->data().toString(), "s");
        }
    }

    // A bench state file holds every role's state; importing checks every role first.
    void benchStateFiles() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("golden.ixb"));
        Bench bench;
        bench.states.exportTo(QStringLiteral("Base"), file);
        const auto lists = bench.lists();
        QCOMPARE(test::errorOf([&] { bench.states.importFrom(file, bench.reach(), std::nullopt); }),
                 ErrorNumber::DuplicateKey);
        bench.instruments["supply"] = std::make_shared<BenchInstrument>("OTHER", "x");
        const QString refused = test::errorTextOf(
            [&] { bench.states.importFrom(file, bench.reach(), QStringLiteral("Copy")); });
        QVERIFY2(refused.startsWith(QStringLiteral("supply: ")), qPrintable(refused));
        QCOMPARE(bench.lists(), lists);

        bench.instruments["supply"] = std::make_shared<BenchInstrument>("SUPPLY", "x");
        QCOMPARE(bench.states.importFrom(file, bench.reach(), QStringLiteral("Copy")), "Copy");
        QCOMPARE(bench.states.names(), (QStringList{"Base", "Copy"}));
        QCOMPARE(bench.states.rolesWith(QStringLiteral("Copy")), kRoles);
        QCOMPARE(bench.document.role("meter").state("Copy")->data().toString(), "meter=1");

        // A document or a cut-off file is no bench state file, and nothing is added.
        const QString document = dir.filePath(QStringLiteral("doc.ixs"));
        bench.document.save(document);
        QByteArray cutOff = test::readFile(file);
        cutOff.truncate(cutOff.size() / 2);
        const QString cutOffFile = dir.filePath(QStringLiteral("cut.ixb"));
        QVERIFY(test::writeFile(cutOffFile, cutOff));
        for (const QString &bad : {document, cutOffFile}) {
            QCOMPARE(test::errorOf([&] { bench.states.importFrom(bad, bench.reach(), "New"); }),
                     ErrorNumber::InvalidFileFormat);
        }
        QCOMPARE(bench.states.names(), (QStringList{"Base", "Copy"}));
    }

    // Random bench commands, some failing, against a model of what every list must hold.
    void randomSequence() {
        const quint32 seed = qEnvironmentVariableIntValue("IXO_RANDOM_SEED") > 0
                                 ? quint32(qEnvironmentVariableIntValue("IXO_RANDOM_SEED"))
                                 : 20261208u;
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("random.ixs"));
        Bench bench;
        std::map<QString, QStringList> expected = bench.lists();
        const auto pick = [&](const QStringList &from) {
            return from.isEmpty() ? QStringLiteral("none") : from[random.bounded(from.size())];
        };
        for (int step = 0; step < 400; ++step) {
            const QString role = pick(kRoles);
            const QString name = QStringLiteral("S%1").arg(random.bounded(8));
            const bool fails = random.bounded(4) == 0;
            for (const QString &other : kRoles)
                bench.at(other).fault = BenchInstrument::Fault::None;
            bench.at(role).fault =
                fails ? BenchInstrument::Fault(random.bounded(1, 4)) : BenchInstrument::Fault::None;
            const QStringList names = bench.states.names();
            const QString existing = pick(names);
            const QString context = QStringLiteral("seed %1 step %2").arg(seed).arg(step);
            switch (random.bounded(6)) {
            case 0: {
                const bool added =
                    test::errorOf([&] { bench.states.capture(bench.reach(), name, {}); }) == 0;
                QCOMPARE(added,
                         !names.contains(name) &&
                             (!fails || bench.at(role).fault == BenchInstrument::Fault::Restore));
                for (auto &[r, list] : expected)
                    list << (added ? QStringList{name} : QStringList{});
                break;
            }
            case 1:
                if (!names.isEmpty())
                    bench.states.restore(bench.reach(), existing);
                break;
            case 2:
                if (!names.isEmpty() && existing != name &&
                    test::errorOf([&] { bench.states.rename(existing, name, std::nullopt); }) ==
                        0) {
                    for (auto &[r, list] : expected) {
                        if (list.removeOne(existing))
                            list << name;
                    }
                }
                break;
            case 3:
                if (!names.isEmpty()) {
                    bench.states.remove(existing);
                    for (auto &[r, list] : expected)
                        list.removeOne(existing);
                }
                break;
            case 4:
                if (!bench.document.role(role).history().isEmpty()) {
                    bench.at(role).fault = BenchInstrument::Fault::None;
                    const QString kept = bench.document.role(role).history().last().data.toString();
                    bench.document.role(role).undoRestore(bench.at(role));
                    QCOMPARE(bench.at(role).setup(), kept);
                }
                break;
            default:
                bench.document.save(path);
                bench.document =
                    StateDocument::open(path, std::make_shared<CIxoResourcesDefault>());
            }
            QVERIFY2(bench.lists() == expected, qPrintable(context));
            for (const BenchRole &r : bench.document.roles())
                QVERIFY2(r.history().size() <= RestoreHistory::kMaxEntries, qPrintable(context));
        }
    }
};

QTEST_GUILESS_MAIN(TestBench)
#include "tst_bench.moc"
