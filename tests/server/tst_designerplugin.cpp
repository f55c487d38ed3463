#include <QPluginLoader>
#include <QPushButton>
#include <QTest>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class TestDesignerPlugin : public QObject {
    Q_OBJECT

private slots:
    void designerCreatesTheControl() {
        QPluginLoader loader(qEnvironmentVariable("IXO_DESIGNER_PLUGIN"));
        QObject *plugin = loader.instance();
        QVERIFY2(plugin, qPrintable(loader.errorString()));
        auto *widget = qobject_cast<QDesignerCustomWidgetInterface *>(plugin);
        QVERIFY(widget);
        QCOMPARE(widget->name(), QStringLiteral("ixo::InstrumentState"));
        QVERIFY(widget->domXml().contains(widget->name()));
        QVERIFY(!widget->icon().isNull());
        QWidget form;
        QWidget *created = widget->createWidget(&form);
        QVERIFY(created && created->parent() == &form);
        QCOMPARE(created->findChild<QPushButton *>(QStringLiteral("captureNewBtn"))->text(),
                 QStringLiteral("Capture New..."));
    }
};

QTEST_MAIN(TestDesignerPlugin)
#include "tst_designerplugin.moc"
