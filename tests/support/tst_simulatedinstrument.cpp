#include "AutomationAssert.h"
#include "model/ItemStateInfo.h"
#include "server/TypeLibrary.h"
#include "support/SimulatedInstrument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ixo::SimulatedInstrument;
using ixo::test::errorOf;

class TestSimulatedInstrument : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { ixo::TypeLibrary::registerServer(); }
    void legacyImport_data();
    void legacyImport();
};

void TestSimulatedInstrument::legacyImport_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("commands");
    QTest::newRow("full header") << QByteArray(
                                        "# Model: IXO SG-100\n# Version: 2.1.0\n# Name: Old\n"
                                        "# Description: from the bench\n:FREQ 1E9\r\n:POW -3\n")
                                 << "2.1.0" << QByteArray(":FREQ 1E9\n:POW -3");
    QTest::newRow("no version is the wildcard")
        << QByteArray("! Model: IXO SG-100\n:OUTP ON\n") << "*" << QByteArray(":OUTP ON");
}

void TestSimulatedInstrument::legacyImport() {
    QFETCH(QByteArray, text);
    QFETCH(QString, version);
    QFETCH(QByteArray, commands);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.set"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    SimulatedInstrument instrument;
    const auto state = std::dynamic_pointer_cast<ixo::ItemStateInfo>(
        instrument.ImportLegacyFile(path, QStringLiteral("IxoInstrSetups.ItemStateInfo")));
    QVERIFY(state);
    QCOMPARE(state->Model(), QStringLiteral("IXO SG-100"));
    QCOMPARE(state->Version(), version);
    QCOMPARE(state->data().toByteArray(), commands);
}

QTEST_APPLESS_MAIN(TestSimulatedInstrument)
#include "tst_simulatedinstrument.moc"
