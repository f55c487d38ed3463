#pragma once

#include "automation/PropertyBag.h"
#include "automation/VariantType.h"

#include <QDateTime>
#include <QTest>

namespace ixo::test {

// Column "value": a value of every type that can be stored, with the edge cases of each.
inline void addVariantRows() {
    QTest::addColumn<QVariant>("value");
    QByteArray bytes(70000, '\0'); // every byte value, and more than 16 bits can count
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    const QDateTime date(QDate(2026, 12, 6), QTime(13, 45, 7, 250), Qt::UTC);
    QTest::newRow("Empty") << QVariant();
    QTest::newRow("Null") << QVariant::fromValue(nullptr);
    QTest::newRow("Boolean") << QVariant(false);
    QTest::newRow("Byte") << QVariant::fromValue<quint8>(255);
    QTest::newRow("Integer") << QVariant::fromValue<qint16>(-32768);
    QTest::newRow("Long") << QVariant::fromValue<qint32>(-2147483647 - 1);
    QTest::newRow("LongLong") << QVariant::fromValue<qint64>(Q_INT64_C(9007199254740993));
    QTest::newRow("Single") << QVariant::fromValue(0.1f);
    QTest::newRow("Double") << QVariant(-1e300);
    QTest::newRow("Date") << QVariant(date);
    QTest::newRow("String") << QVariant(QStringLiteral("  Zürich \r\n:FREQ 1E9;:POW -10 "));
    QTest::newRow("empty String") << QVariant(QString());
    QTest::newRow("byte array") << QVariant(bytes);
    QTest::newRow("empty byte array") << QVariant(QByteArray());
    QTest::newRow("array") << QVariant(
        QVariantList{QVariant::fromValue<qint16>(1), true, 1.5, QStringLiteral("x"), QVariantList{},
                     QVariantList{QVariant(), QByteArray("\0\1", 2)}});
}

// The same type and value, down to each element of an array: == alone lets a number change type.
inline void compareVariants(const QVariant &back, const QVariant &value) {
    QCOMPARE(variantTypeOf(back), variantTypeOf(value));
    if (variantTypeOf(value) != VariantType::Array) {
        QVERIFY2(PropertyBag::sameValue(back, value), qPrintable(back.toString()));
        return;
    }
    const QVariantList backList = back.toList(), list = value.toList();
    QCOMPARE(backList.size(), list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        compareVariants(backList.at(i), list.at(i));
}

} // namespace ixo::test
