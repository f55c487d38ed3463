#include "AutomationAssert.h"
#include "TestFiles.h"
#include "Variants.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "instruments/simulator/SimulatedInstrument.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/Crc32.h"
#include "support/StateFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ixo;
using test::errorOf;
using test::errorTextOf;
namespace Err = ErrorNumber;

namespace {

const QString kItemProgId = QStringLiteral("IxoInstrSetups.ItemStateInfo");

// A state with every field set; its name is padded and its description has a line break.
std::shared_ptr<ItemStateInfo> makeState(int i) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(QStringLiteral(" State %1 ").arg(i));
    state->setDescription(QStringLiteral("line one\r\nline %1").arg(i));
    state->setData(QByteArray::number(i * 31));
    state->setModel(i % 2 ? "IXO SG-100" : "IXO SG-200");
    state->setVersion(QStringLiteral("2.%1.0").arg(i % 5));
    return state;
}

// Puts a correct checksum back after the bytes before it were changed.
QByteArray resealed(QByteArray bytes) {
    bytes.chop(4);
    const quint32 crc = Crc32::of(bytes);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((crc >> shift) & 0xFF));
    return bytes;
}

} // namespace

// ItemStateInfo, one saved state, and StateInfo, the list of them a document keeps; state files
// and the setup files of older programs that the instrument imports.
class TestStates : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_goodFile;

private slots:
    void initTestCase() {
        TypeLibrary::registerServer();
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("good.sta"));
        StateFile().SaveObject(makeState(1), path);
        m_goodFile = test::readFile(path);
        QVERIFY(m_goodFile.startsWith(StateFile::kMagic));
    }

    void itemContentsHoldFivePropertiesInOrder() {
        const QVariant contents = ItemStateInfo().WritePropertiesToVariant();
        QCOMPARE(variantTypeOf(contents), VariantType::ByteArray);
        PropertyBag bag;
        bag.setContents(contents);
        QCOMPARE(bag.names(), (QStringList{"Name", "Description", "Data", "Model", "Version"}));
    }

    void readItemContents_data() {
        QTest::addColumn<QVariant>("contents");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rest"); // Description, Model and Version
        const QString old = QStringLiteral("old"), fresh = QStringLiteral("new");
        PropertyBag nameOnly;
        nameOnly.WriteProperty("Name", fresh);
        PropertyBag midway = nameOnly;
        midway.WriteProperty("Description", QVariant::fromValue(nullptr)); // cannot be a String
        QTest::newRow("missing take defaults") << QVariant(nameOnly.Contents()) << 0 << fresh << "";
        QTest::newRow("Empty") << QVariant() << Err::TypeMismatch << old << old;
        QTest::newRow("text") << QVariant(QStringLiteral("Name=x")) << Err::TypeMismatch << old
                              << old;
        QTest::newRow("garbage") << QVariant(QByteArray("\x01\x02")) << Err::InvalidFileFormat
                                 << old << old;
        // The fields are taken in order, so those before the one that fails are already read.
        QTest::newRow("null field")
            << QVariant(midway.Contents()) << Err::InvalidUseOfNull << fresh << old;
    }

    void readItemContents() {
        QFETCH(QVariant, contents);
        ItemStateInfo state;
        for (const char *name : {"Name", "Description", "Model", "Version"})
            state.setProperty(name, QStringLiteral("old"));
        QTEST(errorOf([&] { state.ReadPropertiesFromVariant(contents); }), "number");
        QTEST(state.Name(), "name");
        for (const char *name : {"Description", "Model", "Version"})
            QTEST(state.property(name).toString(), "rest");
    }

    void initTakesModelAndVersionOnly() {
        ItemStateInfo state;
        QCOMPARE(errorOf([&] { state.Init(nullptr); }), Err::ObjectNotSet);
        state.setName("named first");
        state.setData(1);
        state.Init(std::make_shared<SimulatedInstrument>("SG-7", "1.0"));
        QCOMPARE(state.Name(), QStringLiteral("named first"));
        QCOMPARE(state.data().toInt(), 1);
        QCOMPARE(state.Model(), QStringLiteral("SG-7"));
        QCOMPARE(state.Version(), QStringLiteral("1.0"));

        // Model succeeds, Version fails: the model is already taken.
        class FailingVersion : public SimulatedInstrument {
        public:
            QString Version() override { throw AutomationError(-5, "instrument", "timeout"); }
        };
        QCOMPARE(errorOf([&] { state.Init(std::make_shared<FailingVersion>()); }), -5);
        QCOMPARE(state.Model(), SimulatedInstrument::kDefaultModel);
        QCOMPARE(state.Version(), QStringLiteral("1.0"));
    }

    void saveAndLoad_data() {
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << 0;
        QTest::newRow("twelve") << 12;
        QTest::newRow("largest list") << StateInfo::kMaxStates;
    }

    void saveAndLoad() {
        QFETCH(int, count);
        StateInfo list;
        list.setLegacyDovetrackFileMask(QStringLiteral("Old setups (*.set)|*.set"));
        QStringList keys{"StateinfoNumStates"};
        for (int i = 1; i <= count; ++i) {
            list.Items()->Add(QVariant::fromValue<ObjectRef>(makeState(i)));
            keys << QStringLiteral("Stateinfoitem%1").arg(i);
        }
        PropertyBag bag;
        list.WriteProperties(bag);
        QCOMPARE(bag.names(), keys);
        QCOMPARE(variantTypeOf(bag.ReadProperty("StateinfoNumStates")), VariantType::Integer);
        PropertyBag stored;
        stored.setContents(bag.Contents());
        StateInfo loaded;
        const auto instrument = std::make_shared<SimulatedInstrument>();
        loaded.setSetupInterface(instrument);
        loaded.ReadProperties(stored);
        QCOMPARE(loaded.SetupInterface(), instrument);
        QCOMPARE(loaded.Items()->Count(), count);
        for (int i = 1; i <= count; ++i)
            QCOMPARE(loaded.item(i)->WritePropertiesToVariant(),
                     makeState(i)->WritePropertiesToVariant());
        // Loaded states are keyed by their names, in any case.
        if (count > 0)
            QCOMPARE(
                loaded.Items()->Item(QStringLiteral(" STATE %1 ").arg(count)).value<ObjectRef>(),
                ObjectRef(loaded.item(count)));
    }

    void readProperties_data() {
        QTest::addColumn<QVariant>("count");    // not written when invalid
        QTest::addColumn<QStringList>("items"); // an empty name leaves its entry out
        QTest::addColumn<int>("number");
        QTest::addColumn<QStringList>("loaded");
        const QStringList none;
        QTest::newRow("count decides")
            << QVariant::fromValue<qint16>(2) << QStringList{"One", "Two", "Three"} << 0
            << QStringList{"One", "Two"};
        QTest::newRow("names differing in case") << QVariant(2) << QStringList{"Alpha", "ALPHA"}
                                                 << Err::DuplicateKey << QStringList{"Alpha"};
        QTest::newRow("missing entry") << QVariant(3) << QStringList{"a", "", "c"}
                                       << Err::DataValueNotFound << QStringList{"a"};
        QTest::newRow("no count") << QVariant() << none << Err::DataValueNotFound << none;
        QTest::newRow("text") << QVariant(QStringLiteral("many")) << none << Err::TypeMismatch
                              << none;
        QTest::newRow("too large") << QVariant(40000) << none << Err::Overflow << none;
        QTest::newRow("null") << QVariant::fromValue(nullptr) << none << Err::InvalidUseOfNull
                              << none;
        QTest::newRow("negative reads nothing") << QVariant(-3) << QStringList{"a"} << 0 << none;
        QTest::newRow("count as text")
            << QVariant(QStringLiteral("1")) << none << Err::DataValueNotFound << none;
        QTest::newRow("count as hexadecimal text")
            << QVariant(QStringLiteral("&H2")) << QStringList{"One", "Two", "Three"} << 0
            << QStringList{"One", "Two"};
    }

    void readProperties() {
        QFETCH(QVariant, count);
        QFETCH(QStringList, items);
        PropertyBag bag;
        if (count.isValid())
            bag.WriteProperty("StateinfoNumStates", count);
        for (int i = 0; i < items.size(); ++i) {
            ItemStateInfo item;
            item.setName(items[i]);
            if (!items[i].isEmpty())
                bag.WriteProperty(QStringLiteral("Stateinfoitem%1").arg(i + 1),
                                  item.WritePropertiesToVariant());
        }
        StateInfo list;
        list.Items()->Add(QVariant::fromValue<ObjectRef>(makeState(1)));
        const CollectionRef old = list.Items();
        QTEST(errorOf([&] { list.ReadProperties(bag); }), "number");
        // Even a failed read replaces the list instead of changing the old one.
        QVERIFY(list.Items() != old);
        QCOMPARE(old->Count(), 1);
        QStringList names;
        for (int i = 1; i <= list.Items()->Count(); ++i)
            names << list.item(i)->Name();
        QTEST(names, "loaded");
    }

    void writeFailures() {
        StateInfo list;
        list.Items()->Add(QVariant::fromValue<ObjectRef>(makeState(1)));
        list.Items()->Add(QStringLiteral("not a state"));
        PropertyBag bag;
        QCOMPARE(errorOf([&] { list.WriteProperties(bag); }), Err::TypeMismatch);
        QCOMPARE(bag.names(), (QStringList{"StateinfoNumStates", "Stateinfoitem1"}));
        // A list too long to count overflows before anything is written.
        while (list.Items()->Count() <= StateInfo::kMaxStates)
            list.Items()->Add(1);
        PropertyBag untouched;
        QCOMPARE(errorOf([&] { list.WriteProperties(untouched); }), Err::Overflow);
        QCOMPARE(untouched.count(), 0);
    }

    void listInADocument() {
        // A list is kept in a document's bag by ProgId; its instrument and file mask are not.
        auto list = std::make_shared<StateInfo>();
        list->Items()->Add(QVariant::fromValue<ObjectRef>(makeState(1)));
        list->setSetupInterface(std::make_shared<SimulatedInstrument>());
        list->setLegacyDovetrackFileMask(QStringLiteral("Old setups (*.set)|*.set"));
        PropertyBag bag;
        bag.WriteProperty("List", QVariant::fromValue<ObjectRef>(list));
        bag.WriteProperty("Nothing", QVariant::fromValue(ObjectRef()));
        PropertyBag read;
        read.setContents(bag.Contents());
        const auto loaded =
            std::dynamic_pointer_cast<StateInfo>(read.ReadProperty("List").value<ObjectRef>());
        QVERIFY(loaded && loaded != list);
        QCOMPARE(loaded->item(1)->WritePropertiesToVariant(),
                 makeState(1)->WritePropertiesToVariant());
        QVERIFY(!loaded->SetupInterface());
        QCOMPARE(loaded->LegacyDovetrackFileMask(), QVariant(QString()));
        QVERIFY(!read.ReadProperty("Nothing").value<ObjectRef>());

        // The bag keeps the list as it was written; every read, also from a copy of the bag,
        // gets a list of its own.
        list->Items()->Add(QVariant::fromValue<ObjectRef>(makeState(2)));
        QCOMPARE(std::dynamic_pointer_cast<StateInfo>(bag.ReadProperty("List").value<ObjectRef>())
                     ->Items()
                     ->Count(),
                 1);
        const PropertyBag copy = read;
        const ObjectRef again = read.ReadProperty("List").value<ObjectRef>();
        const ObjectRef fromCopy = copy.ReadProperty("List").value<ObjectRef>();
        QVERIFY(again && fromCopy && again != loaded && fromCopy != loaded && again != fromCopy);
        loaded->Items()->Remove(1);
        QCOMPARE(std::dynamic_pointer_cast<StateInfo>(again)->Items()->Count(), 1);

        // An object the registry cannot create fails to read instead of loading as Nothing.
        TypeLibrary::unregisterServer();
        const int number = errorOf([&] { read.ReadProperty("List"); });
        TypeLibrary::registerServer();
        QCOMPARE(number, Err::CannotCreateObject);
    }

    void roundTripKeepsAllFields_data() { test::addVariantRows(); }

    void roundTripKeepsAllFields() {
        QFETCH(QVariant, value);
        const QString path = m_dir.filePath(QStringLiteral("round.sta"));
        StateFile file;
        const auto saved = makeState(1);
        saved->setData(value);
        file.SaveObject(saved, path);
        const auto loaded =
            std::dynamic_pointer_cast<ItemStateInfo>(file.LoadObject(kItemProgId, path));
        QVERIFY(loaded);
        QCOMPARE(loaded->Name(), saved->Name());
        QCOMPARE(loaded->Description(), saved->Description());
        QCOMPARE(loaded->Model(), saved->Model());
        QCOMPARE(loaded->Version(), saved->Version());
        test::compareVariants(loaded->data(), value);
    }

    void badFilesRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QByteArray flipped = m_goodFile;
        flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x01);
        QByteArray newer = m_goodFile;
        newer[9] = 2;
        QByteArray hugeLength = m_goodFile;
        hugeLength[12] = '\x7f';
        QByteArray badContents = m_goodFile;
        badContents[badContents.size() - 10] = '\xff';
        QTest::newRow("empty") << QByteArray() << "is not a state file";
        QTest::newRow("other file") << QByteArray("PK\3\4 something") << "is not a state file";
        QTest::newRow("header only") << m_goodFile.left(10) << "is truncated";
        QTest::newRow("cut short") << m_goodFile.left(m_goodFile.size() - 5) << "is truncated";
        QTest::newRow("bit flip") << flipped << "checksum";
        QTest::newRow("newer format") << resealed(newer) << "format 2";
        QTest::newRow("hostile name length") << resealed(hugeLength) << "too long";
        QTest::newRow("extra bytes") << m_goodFile + 'x' << "data after the end";
        QTest::newRow("bad contents") << resealed(badContents) << "property bag";
    }

    void badFilesRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        const QString path = m_dir.filePath(QStringLiteral("bad.sta"));
        QVERIFY(test::writeFile(path, bytes));
        StateFile file;
        const QString text = errorTextOf([&] { file.LoadObject(kItemProgId, path); });
        QVERIFY2(text.contains(why), qPrintable(text));
        QCOMPARE(errorOf([&] { file.LoadObject(kItemProgId, path); }), Err::InvalidFileFormat);
    }

    void tooLargeWrongClassOrMissingRefused() {
        const QString path = m_dir.filePath(QStringLiteral("good.sta"));
        StateFile file;
        file.setMaxFileSize(m_goodFile.size() - 1);
        QVERIFY(errorTextOf([&] { file.LoadObject(kItemProgId, path); }).contains("larger than"));
        file.setMaxFileSize(m_goodFile.size());
        QVERIFY(file.LoadObject(kItemProgId, path));
        // A good file of another class is refused too, and a missing one says so.
        QCOMPARE(
            errorOf([&] { file.LoadObject(QStringLiteral("IxoInstrSetups.StateInfo"), path); }),
            Err::TypeMismatch);
        QCOMPARE(errorOf([&] { file.LoadObject(kItemProgId, m_dir.filePath("missing.sta")); }),
                 Err::FileNotFound);
    }

    void failedSaveKeepsOldFile() {
        const QString path = m_dir.filePath(QStringLiteral("keep.sta"));
        QVERIFY(test::writeFile(path, m_goodFile));
        StateFile file;
        auto unstorable = makeState(1);
        unstorable->setData(QVariant::fromValue(QPoint(1, 1)));
        QCOMPARE(errorOf([&] { file.SaveObject(unstorable, path); }), Err::TypeMismatch);
        QCOMPARE(test::readFile(path), m_goodFile);
        QCOMPARE(errorOf([&] { file.SaveObject(makeState(1), m_dir.filePath("no/dir/x.sta")); }),
                 Err::PathFileAccess);
        QCOMPARE(errorOf([&] { file.SaveObject(ObjectRef(), path); }), Err::ObjectNotSet);
    }

    void fileExtension() {
        // "file name>extension", separated by ';'.
        const QString cases = QStringLiteral("/home/u/State.STA>.STA;a.b.setup.txt>.txt;README>;"
                                             "/data/v2.0/state>;C:\\v2.0\\state>;"
                                             "C:\\states\\x.Sta>.Sta;state.>.;>");
        for (const QString &pair : cases.split(u';'))
            QCOMPARE(StateFile().FileExtension(pair.section(u'>', 0, 0)), pair.section(u'>', 1));
    }

    // An older program's setup file becomes a saved state that the instrument restores.
    void legacyImport() {
        const QString path = m_dir.filePath(QStringLiteral("bench-carrier.set"));
        QVERIFY(test::writeFile(path, "# Model: SG-100\n:FREQ 2.4E9\n:OUTP ON\n"));
        SimulatedInstrument instrument;
        const auto state = std::dynamic_pointer_cast<ItemStateInfo>(
            instrument.ImportLegacyFile(path, kItemProgId));
        QVERIFY(state);
        QCOMPARE((QStringList{state->Name(), state->Model(), state->Version()}),
                 (QStringList{"bench-carrier", "SG-100", "*"}));
        instrument.RestoreState(state->data());
        QCOMPARE(instrument.setting(":FREQ"), QStringLiteral("2.400000E+09"));
        QCOMPARE(instrument.setting(":OUTP"), QStringLiteral("ON"));
        QCOMPARE(errorOf([&] { instrument.ImportLegacyFile(path, "IxoInstrSetups.StateInfo"); }),
                 Err::TypeMismatch);
    }
};

QTEST_APPLESS_MAIN(TestStates)
#include "tst_states.moc"
