#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "support/SimulatedInstrument.h"

#include <QMetaMethod>
#include <QTest>

// Hosts reach the model by member name only, so the names themselves are the contract.
class TestAutomationMembers : public QObject {
    Q_OBJECT

private slots:
    void membersByName_data();
    void membersByName();
};

void TestAutomationMembers::membersByName_data() {
    QTest::addColumn<const QMetaObject *>("metaObject");
    QTest::addColumn<QStringList>("properties");
    QTest::addColumn<QStringList>("methods");
    QTest::newRow("ItemStateInfo")
        << &ixo::ItemStateInfo::staticMetaObject
        << QStringList{"Name", "Description", "data", "Model", "Version"} << QStringList{"Init"};
    QTest::newRow("StateInfo") << &ixo::StateInfo::staticMetaObject
                               << QStringList{"Items", "SetupInterface", "LegacyDovetrackFileMask"}
                               << QStringList{"ReadProperties", "WriteProperties"};
}

void TestAutomationMembers::membersByName() {
    QFETCH(const QMetaObject *, metaObject);
    QFETCH(QStringList, properties);
    QFETCH(QStringList, methods);
    for (const QString &name : properties) {
        const int index = metaObject->indexOfProperty(name.toLatin1());
        QVERIFY2(index >= 0, qPrintable(name));
        QVERIFY2(metaObject->property(index).isWritable(), qPrintable(name));
    }
    QStringList invokable;
    for (int i = metaObject->methodOffset(); i < metaObject->methodCount(); ++i) {
        if (metaObject->method(i).methodType() == QMetaMethod::Method)
            invokable << QString::fromLatin1(metaObject->method(i).name());
    }
    for (const QString &name : methods)
        QVERIFY2(invokable.contains(name), qPrintable(name));
}

QTEST_APPLESS_MAIN(TestAutomationMembers)
#include "tst_automationmembers.moc"
