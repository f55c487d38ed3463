#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"

#include <QTest>

using ixo::AutomationError;
using ixo::VariantConvert;

class TestVariantConvert : public QObject {
    Q_OBJECT

private slots:
    void toInteger_data();
    void toInteger();
    void toIntegerFails_data();
    void toIntegerFails();
    void toString_data();
    void toString();
};

void TestVariantConvert::toInteger_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << QVariant() << 0;
    QTest::newRow("true") << QVariant(true) << -1;
    QTest::newRow("short") << QVariant::fromValue<qint16>(-32768) << -32768;
    QTest::newRow("long in range") << QVariant(32767) << 32767;
    QTest::newRow("half rounds to even down") << QVariant(2.5) << 2;
    QTest::newRow("half rounds to even up") << QVariant(3.5) << 4;
    QTest::newRow("negative half") << QVariant(-2.5) << -2;
    QTest::newRow("above half") << QVariant(2.51) << 3;
    QTest::newRow("text") << QVariant(QStringLiteral("203")) << 203;
    QTest::newRow("text with spaces") << QVariant(QStringLiteral("  203  ")) << 203;
    QTest::newRow("text fraction") << QVariant(QStringLiteral("202.5")) << 202;
    QTest::newRow("text exponent") << QVariant(QStringLiteral("2e2")) << 200;
    QTest::newRow("text negative") << QVariant(QStringLiteral("-1")) << -1;
    QTest::newRow("single") << QVariant::fromValue(1.5f) << 2;
}

void TestVariantConvert::toInteger() {
    QFETCH(QVariant, value);
    QFETCH(int, expected);
    QCOMPARE(VariantConvert::toInteger(value), expected);
}

void TestVariantConvert::toIntegerFails_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("empty text") << QVariant(QString()) << ixo::ErrorNumber::TypeMismatch;
    QTest::newRow("letters") << QVariant(QStringLiteral("abc")) << ixo::ErrorNumber::TypeMismatch;
    QTest::newRow("hex") << QVariant(QStringLiteral("0x10")) << ixo::ErrorNumber::TypeMismatch;
    QTest::newRow("above range") << QVariant(32768) << ixo::ErrorNumber::Overflow;
    QTest::newRow("text above range")
        << QVariant(QStringLiteral("40000")) << ixo::ErrorNumber::Overflow;
    QTest::newRow("rounds above range") << QVariant(32767.5) << ixo::ErrorNumber::Overflow;
    QTest::newRow("below range") << QVariant(-32769) << ixo::ErrorNumber::Overflow;
    QTest::newRow("null") << QVariant::fromValue(nullptr) << ixo::ErrorNumber::InvalidUseOfNull;
    QTest::newRow("bytes") << QVariant(QByteArray("12")) << ixo::ErrorNumber::TypeMismatch;
}

void TestVariantConvert::toIntegerFails() {
    QFETCH(QVariant, value);
    QFETCH(int, number);
    try {
        VariantConvert::toInteger(value);
        QFAIL("conversion did not fail");
    } catch (const AutomationError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY(!error.description().isEmpty());
    }
}

void TestVariantConvert::toString_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QVariant() << QString();
    QTest::newRow("text kept with spaces")
        << QVariant(QStringLiteral(" a ")) << QStringLiteral(" a ");
    QTest::newRow("boolean") << QVariant(false) << QStringLiteral("False");
    QTest::newRow("integer") << QVariant::fromValue<qint16>(-7) << QStringLiteral("-7");
    QTest::newRow("double") << QVariant(0.1) << QStringLiteral("0.1");
}

void TestVariantConvert::toString() {
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(VariantConvert::toString(value), expected);
}

QTEST_APPLESS_MAIN(TestVariantConvert)
#include "tst_variantconvert.moc"
