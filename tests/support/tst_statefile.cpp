#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/Crc32.h"
#include "support/StateFile.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ixo::ItemStateInfo;
using ixo::ObjectRef;
using ixo::StateFile;
using ixo::test::errorOf;
using ixo::test::errorTextOf;
namespace Err = ixo::ErrorNumber;

namespace {

const QString kItemProgId = QStringLiteral("IxoInstrSetups.ItemStateInfo");

std::shared_ptr<ItemStateInfo> sampleState(const QVariant &data) {
    auto state = std::make_shared<ItemStateInfo>();
    state->setName(QStringLiteral(" Carrier 2.4 GHz "));
    state->setDescription(QStringLiteral("line one\r\nline two"));
    state->setData(data);
    state->setModel(QStringLiteral("IXO SG-100"));
    state->setVersion(QStringLiteral("2.1.0"));
    return state;
}

QByteArray readAll(const QString &fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &fileName, const QByteArray &bytes) {
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Puts a correct checksum back after the bytes before it were changed.
QByteArray resealed(QByteArray bytes) {
    bytes.chop(4);
    const quint32 crc = ixo::Crc32::of(bytes);
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(static_cast<char>((crc >> shift) & 0xFF));
    return bytes;
}

} // namespace

class TestStateFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTripKeepsAllFields_data();
    void roundTripKeepsAllFields();
    void badFilesRefused_data();
    void badFilesRefused();
    void tooLargeWrongClassOrMissingRefused();
    void failedSaveKeepsOldFile();
    void fileExtension_data();
    void fileExtension();

private:
    QTemporaryDir m_dir;
    QByteArray m_goodFile;
};

void TestStateFile::initTestCase() {
    ixo::TypeLibrary::registerServer();
    QVERIFY(m_dir.isValid());
    StateFile file;
    const QString path = m_dir.filePath(QStringLiteral("good.sta"));
    file.SaveObject(sampleState(QByteArray("FREQ 1E9")), path);
    m_goodFile = readAll(path);
    QVERIFY(m_goodFile.startsWith(StateFile::kMagic));
}

void TestStateFile::roundTripKeepsAllFields_data() {
    QTest::addColumn<QVariant>("data");
    QByteArray bytes(70000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    QTest::newRow("Empty") << QVariant();
    QTest::newRow("Null") << QVariant::fromValue(nullptr);
    QTest::newRow("Boolean") << QVariant(false);
    QTest::newRow("Byte") << QVariant::fromValue<quint8>(7);
    QTest::newRow("Integer") << QVariant::fromValue<qint16>(-5);
    QTest::newRow("Long") << QVariant::fromValue<qint32>(100000);
    QTest::newRow("LongLong") << QVariant::fromValue<qint64>(-Q_INT64_C(1) << 40);
    QTest::newRow("Single") << QVariant::fromValue(3.25f);
    QTest::newRow("Double") << QVariant(-1e300);
    QTest::newRow("Date") << QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59), Qt::UTC));
    QTest::newRow("String") << QVariant(QStringLiteral(":FREQ 1E9;:POW -10"));
    QTest::newRow("byte array") << QVariant(bytes);
    QTest::newRow("array") << QVariant(QVariantList{1.5, QStringLiteral("a"), QVariantList{}});
}

void TestStateFile::roundTripKeepsAllFields() {
    QFETCH(QVariant, data);
    const QString path = m_dir.filePath(QStringLiteral("round.sta"));
    StateFile file;
    const auto saved = sampleState(data);
    file.SaveObject(saved, path);
    const auto loaded =
        std::dynamic_pointer_cast<ItemStateInfo>(file.LoadObject(kItemProgId, path));
    QVERIFY(loaded);
    QCOMPARE(loaded->Name(), saved->Name());
    QCOMPARE(loaded->Description(), saved->Description());
    QCOMPARE(loaded->Model(), saved->Model());
    QCOMPARE(loaded->Version(), saved->Version());
    QCOMPARE(ixo::variantTypeOf(loaded->data()), ixo::variantTypeOf(data));
    QVERIFY(ixo::PropertyBag::sameValue(loaded->data(), data));
}

void TestStateFile::badFilesRefused_data() {
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
    QTest::newRow("extra bytes") << m_goodFile + "x"
                                 << "data after the end";
    QTest::newRow("bad contents") << resealed(badContents) << "property bag";
}

void TestStateFile::badFilesRefused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    const QString path = m_dir.filePath(QStringLiteral("bad.sta"));
    writeAll(path, bytes);
    StateFile file;
    const QString text = errorTextOf([&] { file.LoadObject(kItemProgId, path); });
    QVERIFY2(text.contains(why), qPrintable(text));
    QCOMPARE(errorOf([&] { file.LoadObject(kItemProgId, path); }), Err::InvalidFileFormat);
}

void TestStateFile::tooLargeWrongClassOrMissingRefused() {
    const QString path = m_dir.filePath(QStringLiteral("good.sta"));
    StateFile file;
    file.setMaxFileSize(m_goodFile.size() - 1);
    QVERIFY(errorTextOf([&] { file.LoadObject(kItemProgId, path); }).contains("larger than"));
    file.setMaxFileSize(m_goodFile.size());
    QVERIFY(file.LoadObject(kItemProgId, path));
    // A good file of another class is refused too, and a missing one says so.
    QCOMPARE(errorOf([&] { file.LoadObject(QStringLiteral("IxoInstrSetups.StateInfo"), path); }),
             Err::TypeMismatch);
    QCOMPARE(errorOf([&] { file.LoadObject(kItemProgId, m_dir.filePath("missing.sta")); }),
             Err::FileNotFound);
}

void TestStateFile::failedSaveKeepsOldFile() {
    const QString path = m_dir.filePath(QStringLiteral("keep.sta"));
    writeAll(path, m_goodFile);
    StateFile file;
    auto unstorable = sampleState(QVariant::fromValue(QPoint(1, 1)));
    QCOMPARE(errorOf([&] { file.SaveObject(unstorable, path); }), Err::TypeMismatch);
    QCOMPARE(readAll(path), m_goodFile);
    QCOMPARE(errorOf([&] { file.SaveObject(sampleState(1), m_dir.filePath("no/dir/x.sta")); }),
             Err::PathFileAccess);
    QCOMPARE(errorOf([&] { file.SaveObject(ObjectRef(), path); }), Err::ObjectNotSet);
}

void TestStateFile::fileExtension_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain") << "state.sta"
                           << ".sta";
    QTest::newRow("case kept") << "/home/u/State.STA"
                               << ".STA";
    QTest::newRow("last dot") << "a.b.setup.txt"
                              << ".txt";
    QTest::newRow("none") << "README"
                          << "";
    QTest::newRow("dot in folder only") << "/data/v2.0/state"
                                        << "";
    QTest::newRow("windows folder") << "C:\\v2.0\\state"
                                    << "";
    QTest::newRow("windows path") << "C:\\states\\x.Sta"
                                  << ".Sta";
    QTest::newRow("trailing dot") << "state."
                                  << ".";
    QTest::newRow("empty") << ""
                           << "";
}

void TestStateFile::fileExtension() {
    QFETCH(QString, fileName);
    QFETCH(QString, extension);
    QCOMPARE(StateFile().FileExtension(fileName), extension);
}

QTEST_APPLESS_MAIN(TestStateFile)
#include "tst_statefile.moc"
