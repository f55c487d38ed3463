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
        const auto match = [](const char *name, const Files &files, const char *manufacturer,
                              const char *model, const QString &expected,
                              const char *source = "built-in") {
            QTest::newRow(name) << files << QString::fromLatin1(manufacturer)
                                << QString::fromLatin1(model) << expected
                                << QString::fromLatin1(source);
        };
        const QString generic = InstrumentProfiles::kGenericName;
        const QString simulator = InstrumentProfiles::kSimulatorName;
        match("letter case and spaces", {}, " ixo ", "sg-200", simulator);
        match("anything else", {}, "ACME", "SG-100", generic);
        match("model pattern is anchored", {}, "IXO", "XSG-100", generic);
        match("more particular user profile wins",
              {{"sg1.json", profile("sg-1xx", "IXO", "SG-1*")}}, "IXO", "SG-100", "sg-1xx",
              "sg1.json");
        match("less particular user profile loses", {{"ixo.json", profile("any-ixo", "IXO", "*")}},
              "IXO", "SG-100", simulator);
        match("equally particular: the user's wins",
              {{"mine.json", profile("a-mine", "IXO", "SG-?*")}}, "IXO", "SG-100", "a-mine",
              "mine.json");
        match("equally particular users: first by name",
              {{"b.json", profile("bbb", "ACME", "X[12]*")},
               {"a.json", profile("zzz", "ACME", "X?*")}},
              "acme", "X100", "bbb", "b.json");
        match("user file replaces a built-in by name",
              {{"sim.json", profile("IXO-Simulator", "IXO", "SG-1*")}}, "IXO", "SG-100",
              "IXO-Simulator", "sim.json");
        match("replaced built-in no longer matches",
              {{"sim.json", profile("ixo-simulator", "IXO", "OTHER")}}, "IXO", "SG-100", generic);
        match("narrowed generic is still the fallback",
              {{"g.json", profile("ieee488.2-generic", "NONE", "NONE")}}, "ACME", "X", generic,
              "g.json");
        match("broken file beside it",
              {{"bad.json", "{"}, {"good.json", profile("good", "ACME", "X1")}}, "ACME", "X1",
              "good", "good.json");
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
        const auto refuse = [](const char *name, const QByteArray &contents, const char *field,
                               const char *what) {
            QTest::newRow(name) << contents << QString::fromLatin1(field)
                                << QString::fromLatin1(what);
        };
        refuse("not JSON", R"({"name": )", "", "not JSON");
        refuse("not an object", "[1]", "", "not a JSON object");
        refuse("no name", R"({"model": "X"})", "name", "is missing");
        refuse("empty name", R"({"name": " "})", "name", "is empty");
        refuse("name not a string", R"({"name": 5})", "name", "must be a string, not 5");
        refuse("misspelt field", R"({"name": "x", "timeout": 5})", "timeout",
               "is not a profile field");
        refuse("negative timeout", R"({"name": "x", "timeoutMs": -5})", "timeoutMs",
               "must be a whole number from 1 to 600000, not -5");
        refuse("fractional block size", R"({"name": "x", "maxBlockSize": 1.5})", "maxBlockSize",
               "not 1.5");
        refuse("unknown answer", R"({"name": "x", "answer": "binary"})", "answer",
               R"(must be one of text, block, not "binary")");
        refuse("block without restore command",
               R"({"name": "x", "captureQuery": ":SYST:SET?", "answer": "block"})",
               "restoreCommand", "is needed to send a block setup back");
        refuse("capture query is no query", R"({"name": "x", "captureQuery": "*RST"})",
               "captureQuery", R"(must be one query ending in "?")");
        refuse("unknown completion", R"({"name": "x", "completion": "OPC"})", "completion",
               R"(must be one of *OPC?, *WAI, delay, *ESR?, not "OPC")");
        refuse("delay without its length", R"({"name": "x", "completion": "delay"})",
               "completionDelayMs", "is missing");
        refuse("empty pattern", R"({"name": "x", "manufacturer": ""})", "manufacturer", "is empty");
        refuse("prior errors neither kept nor cleared", R"({"name": "x", "priorErrors": "ignore"})",
               "priorErrors", "must be one of keep, clear");
        refuse("capture without restore", R"({"name": "x", "capture": [{"queryText": "X?"}]})",
               "restore", "is missing");
        refuse("setting without its value",
               R"({"name": "x", "settings": [{"query": "VOLT?", "command": "VOLT"}]})",
               "settings[0].command", R"(must hold "{}" once)");
        refuse("settings and registers",
               R"({"name": "x", "registersOnly": true,
                   "settings": [{"query": "VOLT?", "command": "VOLT {}"}]})",
               "settings", "steps, settings or registers only");
        refuse("unknown error form", R"({"name": "x", "errors": {"form": "log"}})", "errors.form",
               "must be one of queue, register, none");
        refuse("flag as text", R"({"name": "x", "compoundMessages": "yes"})", "compoundMessages",
               "must be true or false");
        const auto steps = [](const char *capture, const char *rest = "") {
            return QByteArray(R"({"name": "x", "capture": [)") + capture +
                   R"(], "restore": [{"sendSetup": "S"}])" + rest + "}";
        };
        refuse("unknown step kind", steps(R"({"ask": "X?"})"), "capture[0].(step)",
               "a step has exactly one of send, queryText");
        refuse("option misspelt in a step", steps(R"({"queryText": "X?", "timeout": 5})"),
               "capture[0].timeout", "is not a step or list field");
        refuse("unknown variable", steps(R"({"send": "MMEM:DEL '${path}'"}, {"queryText": "X?"})"),
               "capture[0].send", "${path} is not a variable");
        refuse("unclosed variable beside a closed one",
               steps("{\"send\": \"MMEM:DEL '${file}' ${fil\"}, {\"queryText\": \"X?\"}"),
               "capture[0].send", "holds an unclosed \"${\"");
        refuse("setup where there is none", steps(R"({"queryText": "X? ${setup}"})"),
               "capture[0].queryText", "${setup} is filled in only by a sendSetup step");
        refuse("capture that reads nothing", steps(R"({"send": "*RST"})"), "capture",
               "has no queryText or queryBlock");
        refuse("file without its rule", steps(R"({"queryBlock": "MMEM:DATA? '${file}'"})"), "file",
               "is missing: steps use ${file}");
        refuse("extension the instrument adds, unnamed",
               steps(R"({"queryBlock": "X?"})", R"(, "file": {"instrumentAddsExtension": true})"),
               "file.extension", "is needed when the instrument adds it");
        refuse("one-query field beside steps",
               steps(R"({"queryText": "X?"})", R"(, "captureQuery": "Y?")"), "captureQuery",
               "belongs to the one-query form");
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
