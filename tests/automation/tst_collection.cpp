#include "AutomationAssert.h"
#include "automation/AutomationError.h"
#include "automation/Collection.h"
#include "automation/ErrorNumber.h"

#include <QTest>

using ixo::AutomationError;
using ixo::Collection;
using ixo::test::errorOf;

namespace {

// A collection holding "a", "b", "c" under the keys Alpha, Beta, Gamma.
void fill(Collection &list) {
    list.Add(QStringLiteral("a"), QStringLiteral("Alpha"));
    list.Add(QStringLiteral("b"), QStringLiteral("Beta"));
    list.Add(QStringLiteral("c"), QStringLiteral("Gamma"));
}

QString itemsOf(const Collection &list) {
    QString text;
    for (int i = 1; i <= list.Count(); ++i)
        text += list.Item(i).toString();
    return text;
}

} // namespace

class TestCollection : public QObject {
    Q_OBJECT

private slots:
    void lookupByKeyIgnoresCase_data();
    void lookupByKeyIgnoresCase();
    void duplicateKeyRefusedAndListUnchanged();
    void errors_data();
    void errors();
    void removeByPositionAndKey_data();
    void removeByPositionAndKey();
    void removedKeyCanBeReused();
};

void TestCollection::lookupByKeyIgnoresCase_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("exact") << "Beta"
                           << "b";
    QTest::newRow("upper") << "GAMMA"
                           << "c";
    QTest::newRow("lower") << "alpha"
                           << "a";
}

void TestCollection::lookupByKeyIgnoresCase() {
    QFETCH(QString, key);
    QFETCH(QString, expected);
    Collection list;
    fill(list);
    QCOMPARE(list.Item(key).toString(), expected);
    QVERIFY(list.containsKey(key));
}

void TestCollection::duplicateKeyRefusedAndListUnchanged() {
    Collection list;
    fill(list);
    QCOMPARE(errorOf([&] { list.Add(QStringLiteral("x"), QStringLiteral("ALPHA")); }),
             ixo::ErrorNumber::DuplicateKey);
    QCOMPARE(list.Count(), 3);
    QCOMPARE(itemsOf(list), QStringLiteral("abc"));
    QCOMPARE(list.Item(QStringLiteral("alpha")).toString(), QStringLiteral("a"));
}

void TestCollection::errors_data() {
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("number");
    QTest::newRow("missing key") << QVariant(QStringLiteral("Delta"))
                                 << ixo::ErrorNumber::InvalidProcedureCall;
    QTest::newRow("index 0") << QVariant(0) << ixo::ErrorNumber::SubscriptOutOfRange;
    QTest::newRow("index past end") << QVariant(4) << ixo::ErrorNumber::SubscriptOutOfRange;
    QTest::newRow("negative index") << QVariant(-1) << ixo::ErrorNumber::SubscriptOutOfRange;
}

void TestCollection::errors() {
    QFETCH(QVariant, index);
    QFETCH(int, number);
    Collection list;
    fill(list);
    QCOMPARE(errorOf([&] { list.Item(index); }), number);
    QCOMPARE(errorOf([&] { list.Remove(index); }), number);
    QCOMPARE(itemsOf(list), QStringLiteral("abc"));
}

void TestCollection::removeByPositionAndKey_data() {
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("first by position") << QVariant(1) << "bc";
    QTest::newRow("last by position") << QVariant(3) << "ab";
    QTest::newRow("middle by key") << QVariant(QStringLiteral("beta")) << "ac";
    QTest::newRow("last by key") << QVariant(QStringLiteral("GAMMA")) << "ab";
}

void TestCollection::removeByPositionAndKey() {
    QFETCH(QVariant, index);
    QFETCH(QString, remaining);
    Collection list;
    fill(list);
    list.Remove(index);
    QCOMPARE(list.Count(), 2);
    QCOMPARE(itemsOf(list), remaining);
    // The keys of the remaining items still lead to their own items.
    const QList<std::pair<QString, QString>> keyed{{"Alpha", "a"}, {"Beta", "b"}, {"Gamma", "c"}};
    for (const auto &[key, item] : keyed) {
        if (remaining.contains(item))
            QCOMPARE(list.Item(key).toString(), item);
        else
            QVERIFY(!list.containsKey(key));
    }
}

void TestCollection::removedKeyCanBeReused() {
    Collection list;
    fill(list);
    list.Remove(QStringLiteral("Beta"));
    QCOMPARE(errorOf([&] { list.Item(QStringLiteral("beta")); }),
             ixo::ErrorNumber::InvalidProcedureCall);
    list.Add(QStringLiteral("B"), QStringLiteral("BETA"));
    QCOMPARE(itemsOf(list), QStringLiteral("acB"));
    QCOMPARE(list.Item(QStringLiteral("beta")).toString(), QStringLiteral("B"));
}

QTEST_APPLESS_MAIN(TestCollection)
#include "tst_collection.moc"
