#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfile.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <array>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;

namespace {

using Files = QMap<QString, QByteArray>;

void write(const QTemporaryDir &dir, const Files &files) {
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile file(dir.filePath(it.key()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(it.value()), it.value().size());
    }
}

QByteArray profile(const char *name, const char *manufacturer, const char *model) {
    return QStringLiteral("{\"name\": \"%1\", \"manufacturer\": \"%2\", \"model\": \"%3\"}")
        .arg(QLatin1String(name), QLatin1String(manufacturer), QLatin1String(model))
        .toUtf8();
}

} // namespace

class TestInstrumentProfiles : public QObject {
    Q_OBJECT

private slots:
    // Every built-in profile loads without problems and survives a round trip through JSON; the
    // family profiles say they were written from a manual and not tried on an instrument.
    void builtIn() {
        const InstrumentProfiles profiles;
        QVERIFY2(profiles.problems().isEmpty(), qPrintable(profiles.problems().join('\n')));
        QVERIFY(profiles.profiles().size() > 10);
        for (const InstrumentProfile &builtIn : profiles.profiles()) {
            QVERIFY(builtIn.source.startsWith(QLatin1Char(':')));
            const InstrumentProfile again = InstrumentProfile::fromJson(builtIn.toJson(), "x");
            QCOMPARE(again.toJson(), builtIn.toJson());
            const bool ours = builtIn.name == InstrumentProfiles::kGenericName ||
                              builtIn.name == InstrumentProfiles::kSimulatorName;
            QVERIFY2(ours || (!builtIn.verified && builtIn.description.contains("Written from")),
                     qPrintable(builtIn.name));
        }
        QCOMPARE(profiles.named(InstrumentProfiles::kGenericName).captureQuery, "*LRN?");
        QCOMPARE(profiles.named(InstrumentProfiles::kSimulatorName).restoreCommand, ":SYST:SET");
    }

    void matching_data() {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("manufacturer");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("source"); // "built-in" or the file's name
        const QString generic = InstrumentProfiles::kGenericName;
        const QString simulator = InstrumentProfiles::kSimulatorName;
        QTest::newRow("simulator") << Files{} << "IXO"
                                   << "SG-100" << simulator << "built-in";
        QTest::newRow("letter case and spaces") << Files{} << " ixo "
                                                << "sg-200" << simulator << "built-in";
        QTest::newRow("anything else") << Files{} << "ACME"
                                       << "SG-100" << generic << "built-in";
        QTest::newRow("model pattern is anchored") << Files{} << "IXO"
                                                   << "XSG-100" << generic << "built-in";
        QTest::newRow("more particular user profile wins")
            << Files{{"sg1.json", profile("sg-1xx", "IXO", "SG-1*")}} << "IXO"
            << "SG-100"
            << "sg-1xx"
            << "sg1.json";
        QTest::newRow("less particular user profile loses")
            << Files{{"ixo.json", profile("any-ixo", "IXO", "*")}} << "IXO"
            << "SG-100" << simulator << "built-in";
        QTest::newRow("equally particular: the user's wins")
            << Files{{"mine.json", profile("a-mine", "IXO", "SG-?*")}} << "IXO"
            << "SG-100"
            << "a-mine"
            << "mine.json";
        QTest::newRow("equally particular users: first by name")
            << Files{{"b.json", profile("bbb", "ACME", "X[12]*")},
                     {"a.json", profile("zzz", "ACME", "X?*")}}
            << "acme"
            << "X100"
            << "bbb"
            << "b.json";
        QTest::newRow("user file replaces a built-in by name")
            << Files{{"sim.json", profile("IXO-Simulator", "IXO", "SG-1*")}} << "IXO"
            << "SG-100"
            << "IXO-Simulator"
            << "sim.json";
        QTest::newRow("replaced built-in no longer matches")
            << Files{{"sim.json", profile("ixo-simulator", "IXO", "OTHER")}} << "IXO"
            << "SG-100" << generic << "built-in";
        QTest::newRow("narrowed generic is still the fallback")
            << Files{{"g.json", profile("ieee488.2-generic", "NONE", "NONE")}} << "ACME"
            << "X" << generic << "g.json";
        // How instruments of the families really identify themselves.
        const QList<std::array<const char *, 3>> families{
            {"AGILENT TECHNOLOGIES", "DSO-X 2024A", "keysight-infiniivision"},
            {"KEYSIGHT TECHNOLOGIES", "MSOX3104T", "keysight-infiniivision"},
            {"Keysight Technologies", "34465A", "keysight-truevolt"},
            {"Agilent Technologies", "33522B", "keysight-33500"},
            {"RIGOL TECHNOLOGIES", "DS1104Z Plus", "rigol-ds1000z"},
            {"Siglent Technologies", "SDS1202X-E", "siglent-sds1000xe"},
            {"TEKTRONIX", "MSO54", "tektronix-mso"},
            {"Rohde&Schwarz", "FSW-26", "rs-fsw"},
            {"Rohde-Schwarz", "ZNB8-4Port", "rs-znb"},
            {"Rohde&Schwarz", "SMBV100B", "rs-sma100b"},
            {"Keysight Technologies", "E36312A", "keysight-e36300"},
            {"KEITHLEY INSTRUMENTS INC.", "MODEL 2400", "keithley-2400"},
            {"HEWLETT-PACKARD", "E3631A", "ieee488.2-generic"},
        };
        for (const auto &[vendor, model, expected] : families)
            QTest::addRow("%s %s", vendor, model)
                << Files{} << vendor << model << expected << "built-in";
        QTest::newRow("broken file beside it")
            << Files{{"bad.json", "{"}, {"good.json", profile("good", "ACME", "X1")}} << "ACME"
            << "X1"
            << "good"
            << "good.json";
    }

    void matching() {
        QFETCH(Files, files);
        QFETCH(QString, source);
        QTemporaryDir dir;
        write(dir, files);
        const InstrumentProfiles profiles(dir.path());
        QFETCH(QString, manufacturer);
        QFETCH(QString, model);
        const InstrumentProfile &found = profiles.matching(manufacturer, model);
        QTEST(found.name, "expected");
        QCOMPARE(found.source.startsWith(QLatin1Char(':')) ? QStringLiteral("built-in")
                                                           : QFileInfo(found.source).fileName(),
                 source);
    }

    void validation_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("what");
        QTest::newRow("not JSON") << QByteArray("{\"name\": ") << ""
                                  << "not JSON";
        QTest::newRow("not an object") << QByteArray("[1]") << ""
                                       << "not a JSON object";
        QTest::newRow("no name") << QByteArray("{\"model\": \"X\"}") << "name"
                                 << "is missing";
        QTest::newRow("empty name") << QByteArray("{\"name\": \" \"}") << "name"
                                    << "is empty";
        QTest::newRow("name not a string") << QByteArray("{\"name\": 5}") << "name"
                                           << "must be a string, not 5";
        QTest::newRow("misspelt field")
            << QByteArray("{\"name\": \"x\", \"timeout\": 5}") << "timeout"
            << "is not a profile field";
        QTest::newRow("negative timeout")
            << QByteArray("{\"name\": \"x\", \"timeoutMs\": -5}") << "timeoutMs"
            << "must be a whole number from 1 to 600000, not -5";
        QTest::newRow("fractional block size")
            << QByteArray("{\"name\": \"x\", \"maxBlockSize\": 1.5}") << "maxBlockSize"
            << "not 1.5";
        QTest::newRow("unknown answer")
            << QByteArray("{\"name\": \"x\", \"answer\": \"binary\"}") << "answer"
            << "must be one of text, block, not \"binary\"";
        QTest::newRow("block without restore command")
            << QByteArray("{\"name\": \"x\", \"captureQuery\": \":SYST:SET?\", \"answer\": "
                          "\"block\"}")
            << "restoreCommand"
            << "is needed to send a block setup back";
        QTest::newRow("capture query is no query")
            << QByteArray("{\"name\": \"x\", \"captureQuery\": \"*RST\"}") << "captureQuery"
            << "must be one query ending in \"?\"";
        QTest::newRow("unknown completion")
            << QByteArray("{\"name\": \"x\", \"completion\": \"OPC\"}") << "completion"
            << "must be one of *OPC?, *WAI, delay, *ESR?, not \"OPC\"";
        QTest::newRow("delay without its length")
            << QByteArray("{\"name\": \"x\", \"completion\": \"delay\"}") << "completionDelayMs"
            << "is missing";
        QTest::newRow("empty pattern")
            << QByteArray("{\"name\": \"x\", \"manufacturer\": \"\"}") << "manufacturer"
            << "is empty";
        QTest::newRow("prior errors neither kept nor cleared")
            << QByteArray("{\"name\": \"x\", \"priorErrors\": \"ignore\"}") << "priorErrors"
            << "must be one of keep, clear";
        const auto steps = [](const char *capture, const char *rest = "") {
            return QByteArray("{\"name\": \"x\", \"capture\": [") + capture +
                   "], \"restore\": [{\"sendSetup\": \"S\"}]" + rest + "}";
        };
        QTest::newRow("unknown step kind") << steps("{\"ask\": \"X?\"}") << "capture[0].(step)"
                                           << "a step has exactly one of send, queryText";
        QTest::newRow("option misspelt in a step")
            << steps("{\"queryText\": \"X?\", \"timeout\": 5}") << "capture[0].timeout"
            << "is not a step or list field";
        QTest::newRow("unknown variable")
            << steps("{\"send\": \"MMEM:DEL '${path}'\"}, {\"queryText\": \"X?\"}")
            << "capture[0].send"
            << "${path} is not a variable";
        QTest::newRow("unclosed variable beside a closed one")
            << steps("{\"send\": \"MMEM:DEL '${file}' ${fil\"}, {\"queryText\": \"X?\"}")
            << "capture[0].send"
            << "holds an unclosed \"${\"";
        QTest::newRow("setup where there is none")
            << steps("{\"queryText\": \"X? ${setup}\"}") << "capture[0].queryText"
            << "${setup} is filled in only by a sendSetup step";
        QTest::newRow("capture that reads nothing") << steps("{\"send\": \"*RST\"}") << "capture"
                                                    << "has no queryText or queryBlock";
        QTest::newRow("file without its rule")
            << steps("{\"queryBlock\": \"MMEM:DATA? '${file}'\"}") << "file"
            << "is missing: steps use ${file}";
        QTest::newRow("extension the instrument adds, unnamed")
            << steps("{\"queryBlock\": \"X?\"}", ", \"file\": {\"instrumentAddsExtension\": true}")
            << "file.extension"
            << "is needed when the instrument adds it";
        QTest::newRow("capture without restore")
            << QByteArray("{\"name\": \"x\", \"capture\": [{\"queryText\": \"X?\"}]}") << "restore"
            << "is missing";
        QTest::newRow("one-query field beside steps")
            << steps("{\"queryText\": \"X?\"}", ", \"captureQuery\": \"Y?\"") << "captureQuery"
            << "belongs to the one-query form";
        QTest::newRow("setting without its value")
            << QByteArray("{\"name\": \"x\", \"settings\": [{\"query\": \"VOLT?\", "
                          "\"command\": \"VOLT\"}]}")
            << "settings[0].command"
            << "must hold \"{}\" once";
        QTest::newRow("settings and registers")
            << QByteArray("{\"name\": \"x\", \"registersOnly\": true, \"settings\": "
                          "[{\"query\": \"VOLT?\", \"command\": \"VOLT {}\"}]}")
            << "settings"
            << "steps, settings or registers only";
        QTest::newRow("unknown error form")
            << QByteArray("{\"name\": \"x\", \"errors\": {\"form\": \"log\"}}") << "errors.form"
            << "must be one of queue, register, none";
        QTest::newRow("flag as text")
            << QByteArray("{\"name\": \"x\", \"compoundMessages\": \"yes\"}") << "compoundMessages"
            << "must be true or false";
    }

    // A broken file is named with its field and fault; the file beside it still loads.
    void validation() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, field);
        QFETCH(QString, what);
        QTemporaryDir dir;
        write(dir, {{"broken.json", contents}, {"fine.json", profile("fine", "ACME", "*")}});
        const InstrumentProfiles profiles(dir.path());
        QCOMPARE(profiles.problems().size(), 1);
        const QString problem = profiles.problems().first();
        QVERIFY2(problem.startsWith(dir.filePath("broken.json") + ": "), qPrintable(problem));
        if (!field.isEmpty())
            QVERIFY2(problem.contains("field \"" + field + "\": "), qPrintable(problem));
        QVERIFY2(problem.contains(what), qPrintable(problem));
        QVERIFY(profiles.find("fine"));
        QCOMPARE(profiles.profiles().size(), InstrumentProfiles().profiles().size() + 1);
    }

    void sameNameInTwoFiles() {
        QTemporaryDir dir;
        write(dir, {{"a.json", profile("twin", "A", "*")}, {"b.json", profile("TWIN", "B", "*")}});
        const InstrumentProfiles profiles(dir.path());
        QCOMPARE(profiles.named("twin").manufacturers, QStringList{"A"});
        QCOMPARE(profiles.problems().size(), 1);
        QVERIFY2(profiles.problems().first().contains(dir.filePath("b.json") +
                                                      ": field \"name\": \"TWIN\" is already"),
                 qPrintable(profiles.problems().first()));
    }

    void missingDirectoryIsNoProblem() {
        const InstrumentProfiles profiles(QDir::temp().filePath("ixo-no-such-folder-9f3a"));
        QVERIFY(profiles.problems().isEmpty());
        QCOMPARE(profiles.profiles().size(), InstrumentProfiles().profiles().size());
    }

    // A profile named on the command line is used whatever the instrument says; the setters'
    // values outlive the matching profile.
    void forcedAndMatchedProfiles_data() {
        QTest::addColumn<QString>("forced");
        QTest::addColumn<QString>("expected");
        QTest::newRow("matching") << "" << InstrumentProfiles::kSimulatorName;
        QTest::newRow("forced, other letter case")
            << "IEEE488.2-GENERIC" << InstrumentProfiles::kGenericName;
        QTest::newRow("forced user profile") << "slow"
                                             << "slow";
    }

    void forcedAndMatchedProfiles() {
        QTemporaryDir dir;
        write(dir, {{"slow.json", "{\"name\": \"slow\", \"model\": \"NONE\", \"timeoutMs\": 900, "
                                  "\"settleMs\": 10}"}});
        const auto profiles = std::make_shared<const InstrumentProfiles>(dir.path());
        QFETCH(QString, forced);
        const auto instrument = InstrumentFactory::open("SIM", profiles, forced);
        instrument->setMaxBlockSize(4096);
        QCOMPARE(instrument->Model(), "SG-100");
        QTEST(instrument->profile().name, "expected");
        QCOMPARE(instrument->maxBlockSize(), 4096);
        QCOMPARE(instrument->timeout(), forced == "slow" ? 900 : 5000);
        QVERIFY(!instrument->CaptureState().toString().isEmpty());
    }

    // The example of the documentation is a valid profile, and it says what the text claims.
    void documentedExample() {
        QFile doc(QStringLiteral(IXO_SOURCE_DIR "/docs/profiles.md"));
        QVERIFY(doc.open(QIODevice::ReadOnly));
        const QByteArray text = doc.readAll();
        // Every example is a valid profile; the first is the one the text then talks about.
        QList<InstrumentProfile> examples;
        for (qsizetype start = text.indexOf("```json\n"); start >= 0;
             start = text.indexOf("```json\n", start + 8)) {
            const qsizetype end = text.indexOf("```", start + 8);
            examples.append(
                InstrumentProfile::fromJson(text.mid(start + 8, end - start - 8), "profiles.md"));
        }
        QCOMPARE(examples.size(), 2);
        QCOMPARE(examples[1].file.extension, ".set");
        const InstrumentProfile &example = examples[0];
        QCOMPARE(example.name, "bench-sg");
        QVERIFY(example.blockAnswer);
        QCOMPARE(example.completion, InstrumentProfile::Completion::EsrPolling);
        QVERIFY(example.matches("IXO", "SG-100"));
        QVERIFY(example.specificity("IXO", "SG-100") >
                InstrumentProfiles()
                    .named(InstrumentProfiles::kSimulatorName)
                    .specificity("IXO", "SG-100"));
    }

    void unknownProfileName() {
        const auto profiles = std::make_shared<const InstrumentProfiles>();
        QCOMPARE(errorOf([&] { InstrumentFactory::open("SIM", profiles, "nope"); }),
                 ErrorNumber::InvalidProcedureCall);
        const QString text = errorTextOf([&] { InstrumentFactory::open("SIM", profiles, "nope"); });
        QVERIFY2(text.contains("no instrument profile named \"nope\" (known: ieee488.2-generic, "
                               "ixo-simulator, keithley-2400, "),
                 qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestInstrumentProfiles)
#include "tst_instrumentprofiles.moc"
