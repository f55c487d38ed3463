#include "AutomationAssert.h"
#include "TestFiles.h"
#include "automation/ErrorNumber.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/ItemStateInfo.h"
#include "model/StateDocument.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/HostDocument.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ixo;
using test::readFile;

namespace {

class Instrument : public SetupInterface {
public:
    explicit Instrument(QString model = QStringLiteral("M1"))
        : m_model(std::move(model)) {}
    QString Model() override { return m_model; }
    QString Version() override { return QStringLiteral("1.0"); }
    QVariant CaptureState() override { return QStringLiteral(":FREQ 1E6"); }
    void RestoreState(const QVariant &state) override { restored = state; }
    ObjectRef ImportLegacyFile(const QString &, const QString &) override { return {}; }
    QVariant restored;

private:
    QString m_model;
};

std::shared_ptr<IxoResource> texts() {
    return std::make_shared<CIxoResourcesDefault>();
}

// The number and message of a refusal, which must change nothing.
std::pair<int, QString> refusalOf(const std::function<void()> &change) {
    try {
        change();
    } catch (const RefusedChange &refusal) {
        return {refusal.number(), refusal.description()};
    }
    return {0, {}};
}

QStringList namesOf(const StateDocument &document) {
    QStringList names;
    for (const auto &state : document.role().states())
        names.append(state->Name());
    return names;
}

} // namespace

class TestStateDocument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { TypeLibrary::registerServer(); }

    // The list's rules and the catalogue's words, the same for every host.
    void rules() {
        QTemporaryDir dir;
        StateDocument document(texts());
        Instrument instrument;
        Instrument other(QStringLiteral("M2"));
        const auto catalogue = texts();
        document.role().capture(instrument, std::nullopt, QStringLiteral("first"));
        document.role().capture(instrument, QStringLiteral("B"), {});
        document.role().capture(instrument, std::nullopt, {});
        QCOMPARE(namesOf(document), (QStringList{"State 1", "B", "State 2"}));
        document.role().rename(QStringLiteral("State 1"), QStringLiteral("A"), QStringLiteral("d"));
        QCOMPARE(namesOf(document), (QStringList{"B", "State 2", "A"}));

        const std::pair<int, QString> taken{ErrorNumber::DuplicateKey,
                                            "B" + catalogue->LoadResString(233)};
        QCOMPARE(refusalOf([&] { document.role().capture(instrument, QStringLiteral("B"), {}); }),
                 taken);
        QCOMPARE(refusalOf([&] { document.role().rename("A", "B", std::nullopt); }), taken);
        QCOMPARE(refusalOf([&] { document.role().restore(other, "A"); }).first,
                 ErrorNumber::InvalidProcedureCall);
        QVERIFY(!other.restored.isValid());
        document.role().restore(instrument, QStringLiteral("A"));
        QCOMPARE(instrument.restored, QVariant(QStringLiteral(":FREQ 1E6")));

        const QString file = dir.filePath(QStringLiteral("a.sta"));
        document.role().exportState(QStringLiteral("A"), file);
        QCOMPARE(refusalOf([&] { document.role().importState(file, other, std::nullopt); }).first,
                 ErrorNumber::InvalidProcedureCall);
        QCOMPARE(
            refusalOf([&] { document.role().importState(file, instrument, std::nullopt); }).first,
            ErrorNumber::DuplicateKey);
        document.role().importState(file, instrument, QStringLiteral("C"));
        document.role().remove(QStringLiteral("B"));
        QCOMPARE(namesOf(document), (QStringList{"State 2", "A", "C"}));
        QCOMPARE(test::errorOf([&] { document.role().state(QStringLiteral("B")); }),
                 ErrorNumber::InvalidProcedureCall);
    }

    // Saving keeps the previous file and what other hosts keep in the document; a document of
    // a newer format is refused and left as it was.
    void files() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("doc.ixs"));
        PropertyBag bag;
        bag.WriteProperty(HostDocument::kControlKey, QByteArray("control"));
        StateDocument::write(bag, path);
        QVERIFY(!QFile::exists(StateDocument::backupName(path)));
        const QByteArray first = readFile(path);

        Instrument instrument;
        StateDocument document = StateDocument::open(path, texts());
        document.role().capture(instrument, QStringLiteral("A"), {});
        document.save();
        QCOMPARE(readFile(StateDocument::backupName(path)), first);
        const PropertyBag saved = StateDocument::load(path);
        QCOMPARE(saved.ReadProperty(HostDocument::kControlKey).toByteArray(), "control");
        QCOMPARE(StateDocument::open(path, texts()).role().count(), 1);

        PropertyBag newer = saved;
        newer.WriteProperty(StateDocument::kFormatVersionKey, StateDocument::kFormatVersion + 1);
        QVERIFY(test::writeFile(path, newer.Contents()));
        const QByteArray before = readFile(path);
        const QString refused = test::errorTextOf([&] { StateDocument::open(path, texts()); });
        QVERIFY2(refused.contains("was saved by a newer version") &&
                     refused.contains("Nothing was changed"),
                 qPrintable(refused));
        QCOMPARE(readFile(path), before);
    }
};

QTEST_MAIN(TestStateDocument)
#include "tst_statedocument.moc"
