#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/TypeName.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using ixo::MemberAccess;
using ixo::TypeName;
using ixo::test::errorOf;
namespace ErrorNumber = ixo::ErrorNumber;

namespace ixo::sample {

class frmEditSample : public QDialog {
    Q_OBJECT
};

// A button that declares the automation member itself, which wins over the mapping.
class OwnCaptionButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(int Fixed READ Fixed)

public:
    QString caption;
    int Fixed() const { return 1; }
};

} // namespace ixo::sample

using WidgetFactory = std::function<QWidget *()>;
using WidgetRead = std::function<QString(QWidget &)>;

class TestMemberAccess : public QObject {
    Q_OBJECT

private slots:
    void writesMappedMember_data();
    void writesMappedMember();
    void memberTheWidgetLacks_data();
    void memberTheWidgetLacks();
    void declaredMemberWins();
    void tagIsPerControl();
    void controlsOfAForm();
    void listViewHeadersByName();
    void typeName_data();
    void typeName();
};

void TestMemberAccess::writesMappedMember_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<QString>("member");
    QTest::addColumn<WidgetRead>("read");
    auto text = [](auto *widget) { return widget->text(); };
    QTest::newRow("button caption")
        << WidgetFactory([] { return new QPushButton; }) << "Caption"
        << WidgetRead([=](QWidget &w) { return text(qobject_cast<QPushButton *>(&w)); });
    QTest::newRow("check box caption")
        << WidgetFactory([] { return new QCheckBox; }) << "Caption"
        << WidgetRead([=](QWidget &w) { return text(qobject_cast<QCheckBox *>(&w)); });
    QTest::newRow("label caption")
        << WidgetFactory([] { return new QLabel; }) << "caption"
        << WidgetRead([=](QWidget &w) { return text(qobject_cast<QLabel *>(&w)); });
    QTest::newRow("frame caption")
        << WidgetFactory([] { return new QGroupBox; }) << "Caption"
        << WidgetRead([](QWidget &w) { return qobject_cast<QGroupBox *>(&w)->title(); });
    QTest::newRow("form caption") << WidgetFactory([] { return new QDialog; }) << "Caption"
                                  << WidgetRead([](QWidget &w) { return w.windowTitle(); });
    QTest::newRow("line edit text")
        << WidgetFactory([] { return new QLineEdit; }) << "Text"
        << WidgetRead([=](QWidget &w) { return text(qobject_cast<QLineEdit *>(&w)); });
    QTest::newRow("text edit text")
        << WidgetFactory([] { return new QTextEdit; }) << "Text"
        << WidgetRead([](QWidget &w) { return qobject_cast<QTextEdit *>(&w)->toPlainText(); });
    QTest::newRow("plain text edit text")
        << WidgetFactory([] { return new QPlainTextEdit; }) << "TEXT"
        << WidgetRead([](QWidget &w) { return qobject_cast<QPlainTextEdit *>(&w)->toPlainText(); });
    QTest::newRow("tool tip") << WidgetFactory([] { return new QLineEdit; }) << "ToolTipText"
                              << WidgetRead([](QWidget &w) { return w.toolTip(); });
}

void TestMemberAccess::writesMappedMember() {
    QFETCH(WidgetFactory, make);
    QFETCH(QString, member);
    QFETCH(WidgetRead, read);
    const std::unique_ptr<QWidget> widget(make());
    MemberAccess::set(widget.get(), member, QStringLiteral("new text"));
    QCOMPARE(read(*widget), QStringLiteral("new text"));
    QCOMPARE(MemberAccess::get(widget.get(), member).toString(), QStringLiteral("new text"));
}

void TestMemberAccess::memberTheWidgetLacks_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<QString>("member");
    QTest::addColumn<int>("number");
    QTest::newRow("text box caption") << WidgetFactory([] { return new QLineEdit; }) << "Caption"
                                      << ErrorNumber::MemberNotSupported;
    QTest::newRow("button text") << WidgetFactory([] { return new QPushButton; }) << "Text"
                                 << ErrorNumber::MemberNotSupported;
    QTest::newRow("child widget caption") << WidgetFactory([] { return new QWidget(new QWidget); })
                                          << "Caption" << ErrorNumber::MemberNotSupported;
    QTest::newRow("unknown member") << WidgetFactory([] { return new QPushButton; }) << "Foo"
                                    << ErrorNumber::MemberNotSupported;
    QTest::newRow("frame controls") << WidgetFactory([] { return new QGroupBox(new QWidget); })
                                    << "Controls" << ErrorNumber::MemberNotSupported;
    QTest::newRow("no object") << WidgetFactory([] { return nullptr; }) << "Caption"
                               << ErrorNumber::ObjectNotSet;
}

void TestMemberAccess::memberTheWidgetLacks() {
    QFETCH(WidgetFactory, make);
    QFETCH(QString, member);
    QFETCH(int, number);
    QWidget *widget = make();
    const std::unique_ptr<QWidget> owner(widget && widget->parentWidget() ? widget->parentWidget()
                                                                          : widget);
    QCOMPARE(errorOf([&] { MemberAccess::set(widget, member, QStringLiteral("x")); }), number);
    QCOMPARE(errorOf([&] { MemberAccess::get(widget, member); }), number);
}

void TestMemberAccess::declaredMemberWins() {
    ixo::sample::OwnCaptionButton button;
    button.setText(QStringLiteral("qt text"));
    MemberAccess::set(&button, QStringLiteral("Caption"), QStringLiteral("automation caption"));
    QCOMPARE(button.caption, QStringLiteral("automation caption"));
    QCOMPARE(button.text(), QStringLiteral("qt text"));
    QCOMPARE(errorOf([&] { MemberAccess::set(&button, QStringLiteral("Fixed"), 2); }), 383);
}

void TestMemberAccess::tagIsPerControl() {
    QPushButton button;
    QCOMPARE(MemberAccess::get(&button, QStringLiteral("Tag")), QVariant(QString()));
    MemberAccess::set(&button, QStringLiteral("Tag"), QStringLiteral("Caption=203"));
    QCOMPARE(MemberAccess::get(&button, QStringLiteral("Tag")).toString(),
             QStringLiteral("Caption=203"));
    QObject plain;
    QCOMPARE(errorOf([&] { MemberAccess::get(&plain, QStringLiteral("Tag")); }),
             ErrorNumber::MemberNotSupported);
}

void TestMemberAccess::controlsOfAForm() {
    QDialog form;
    auto named = [](QWidget *widget, const char *name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    named(new QLabel(&form), "label");
    QWidget *frame = named(new QGroupBox(&form), "frame");
    named(new QPushButton(frame), "inFrame");
    QWidget *inner = named(new QGroupBox(frame), "innerFrame");
    named(new QLineEdit(inner), "inInner");
    auto *tabs = static_cast<QTabWidget *>(named(new QTabWidget(&form), "tabs"));
    QWidget *page = named(new QWidget, "page");
    tabs->addTab(page, QStringLiteral("Page"));
    named(new QCheckBox(page), "onPage");
    auto *view = static_cast<ixo::ListView *>(named(new ixo::ListView(&form), "list"));
    view->ColumnHeaders()->Add(QStringLiteral("a"));
    named(new QDialog(&form), "otherWindow");

    QStringList names;
    const QVariant controls = MemberAccess::get(&form, QStringLiteral("Controls"));
    for (QObject *control : controls.value<QObjectList>())
        names << control->objectName();
    QCOMPARE(names, (QStringList{"label", "frame", "inFrame", "innerFrame", "inInner", "tabs",
                                 "page", "onPage", "list"}));
}

void TestMemberAccess::listViewHeadersByName() {
    ixo::ListView view;
    view.ColumnHeaders()->Add(QStringLiteral("first"));
    view.ColumnHeaders()->Add(QStringLiteral("second"))->setTag(QStringLiteral("201"));
    QCOMPARE(view.columnCount(), 2);
    QObject *headers =
        MemberAccess::objectOf(MemberAccess::get(&view, QStringLiteral("ColumnHeaders")));
    QCOMPARE(MemberAccess::get(headers, QStringLiteral("Count")).toInt(), 2);
    QObject *second =
        MemberAccess::objectOf(MemberAccess::invoke(headers, QStringLiteral("Item"), {2}));
    QCOMPARE(MemberAccess::get(second, QStringLiteral("Tag")).toString(), QStringLiteral("201"));
    MemberAccess::set(second, QStringLiteral("Text"), QStringLiteral("Description:"));
    QCOMPARE(view.headerItem()->text(1), QStringLiteral("Description:"));
    QCOMPARE(TypeName::of(*second), QStringLiteral("ColumnHeader"));
    for (const QVariant &bad : {QVariant(0), QVariant(3)})
        QCOMPARE(errorOf([&] { MemberAccess::invoke(headers, QStringLiteral("Item"), {bad}); }),
                 ErrorNumber::SubscriptOutOfRange);
    QCOMPARE(errorOf([&] {
                 MemberAccess::invoke(headers, QStringLiteral("Item"), {1, 2});
             }),
             ErrorNumber::MemberNotSupported);
}

void TestMemberAccess::typeName_data() {
    QTest::addColumn<WidgetFactory>("make");
    QTest::addColumn<QString>("name");
    QTest::newRow("command button")
        << WidgetFactory([] { return new QPushButton; }) << "CommandButton";
    QTest::newRow("text box") << WidgetFactory([] { return new QLineEdit; }) << "TextBox";
    QTest::newRow("multi-line text box")
        << WidgetFactory([] { return new QTextEdit; }) << "TextBox";
    QTest::newRow("plain text box")
        << WidgetFactory([] { return new QPlainTextEdit; }) << "TextBox";
    QTest::newRow("frame") << WidgetFactory([] { return new QGroupBox; }) << "Frame";
    QTest::newRow("label") << WidgetFactory([] { return new QLabel; }) << "Label";
    QTest::newRow("check box") << WidgetFactory([] { return new QCheckBox; }) << "CheckBox";
    QTest::newRow("list view") << WidgetFactory([] { return new ixo::ListView; }) << "ListView";
    QTest::newRow("form") << WidgetFactory([] { return new ixo::sample::frmEditSample; })
                          << "frmEditSample";
    QTest::newRow("declared button")
        << WidgetFactory([] { return new ixo::sample::OwnCaptionButton; }) << "CommandButton";
    QTest::newRow("plain widget") << WidgetFactory([] { return new QWidget; }) << "QWidget";
}

void TestMemberAccess::typeName() {
    QFETCH(WidgetFactory, make);
    QFETCH(QString, name);
    const std::unique_ptr<QWidget> widget(make());
    QCOMPARE(TypeName::of(*widget), name);
}

QTEST_MAIN(TestMemberAccess)
#include "tst_memberaccess.moc"
