#include "AutomationAssert.h"
#include "FakeResources.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "localization/CIxoResourcesAgent.h"
#include "localization/CIxoResourcesDefault.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using ixo::CIxoResourcesAgent;
using ixo::ListView;
using ixo::ObjectRef;
using ixo::ScopedInteraction;
using ixo::ScriptedInteraction;
using ixo::test::errorOf;
using ixo::test::FakeResources;
namespace ErrorNumber = ixo::ErrorNumber;

namespace {

QPushButton *button(QWidget *parent, const char *tag) {
    auto *result = new QPushButton(QStringLiteral("placeholder"), parent);
    result->setProperty("Tag", QString::fromLatin1(tag));
    return result;
}

} // namespace

// A form as the dialogs of the library are: its class name starts with "frm".
class frmSample : public QDialog {
    Q_OBJECT

public:
    frmSample() {
        label = new QLabel(QStringLiteral("placeholder"), this);
        label->setProperty("Tag", QStringLiteral("Caption=200"));
        nameTextBox = new QLineEdit(QStringLiteral("typed by the user"), this);
        frame = new QGroupBox(QStringLiteral("placeholder"), this);
        frame->setProperty("Tag", QStringLiteral("Caption=202"));
        captureNewBtn = button(frame, "Caption=203;ToolTipText=235");
        listView = new ListView(this);
        listView->ColumnHeaders()->Add(QStringLiteral("h1"))->setTag(QStringLiteral("200"));
        listView->ColumnHeaders()->Add(QStringLiteral("h2"))->setTag(QStringLiteral("201"));
    }

    QLabel *label;
    QLineEdit *nameTextBox;
    QGroupBox *frame;
    QPushButton *captureNewBtn;
    ListView *listView;
};

// A frame that lists its own controls, so that the walk into frames can be seen.
class ListingFrame : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "Frame")
    Q_PROPERTY(QObjectList Controls READ Controls)
    Q_PROPERTY(QString Tag MEMBER tag)

public:
    QObjectList Controls() const { return controls; }
    QObjectList controls;
    QString tag;
};

// Any type whose name contains "form" is walked into.
class Transformer : public ListingFrame {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "Transformer")
};

// A list of controls whose enumeration breaks after the first element.
class BrokenList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    int Count() const { return static_cast<int>(controls.size()); }
    Q_INVOKABLE QObject *Item(int index) const {
        if (index > 1)
            throw ixo::AutomationError::standard(ErrorNumber::Fail, QStringLiteral("BrokenList"));
        return controls.at(index - 1);
    }
    QObjectList controls;
};

// Deletes the control while the message about it is on screen, as a user's action could.
class DeletingInteraction : public ScriptedInteraction {
public:
    QPointer<QObject> victim;
    int messageBox(const QString &text, int style, const QString &title) override {
        delete victim.data();
        return ScriptedInteraction::messageBox(text, style, title);
    }
};

class TestResourcesAgent : public QObject {
    Q_OBJECT

private slots:
    void init();

    void formIsWalkedIntoWithItsFramesAndListView();
    void emptyTagStillWalksIntoFormFrameAndListView();
    void typeNameContainingFormIsWalkedInto();
    void frameWithoutControlsEndsSilently();
    void columnHeaderWithBadTagEndsTheHeaders();
    void listViewCaptionIsNotSupportedButHeadersStillSet();
    void failureForOneControlNeverStopsTheOthers();
    void brokenEnumerationPassesOverTheRest();
    void controlDeletedDuringMessageBoxIsSafe();
    void nullControlIsPassedOver();

    void failingProviderShowsNotSupportedAndContinues();
    void setResourcesUsesThatProvider();
    void setResourcesRefusesNonProvider();
    void setResourcesNothingEmptiesProvider();

private:
    std::shared_ptr<ScriptedInteraction> m_script;
    std::unique_ptr<ScopedInteraction> m_scope;
};

void TestResourcesAgent::init() {
    m_scope.reset();
    m_script = std::make_shared<ScriptedInteraction>();
    m_scope = std::make_unique<ScopedInteraction>(m_script);
}

void TestResourcesAgent::formIsWalkedIntoWithItsFramesAndListView() {
    frmSample form;
    form.setProperty("Tag", QStringLiteral("Caption=210"));
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&form);
    QCOMPARE(form.windowTitle(), QStringLiteral("Capture New State"));
    QCOMPARE(form.label->text(), QStringLiteral("Name:"));
    QCOMPARE(form.nameTextBox->text(), QStringLiteral("typed by the user"));
    QCOMPARE(form.frame->title(), QStringLiteral("Instrument State"));
    QCOMPARE(form.captureNewBtn->text(), QStringLiteral("Capture New..."));
    QCOMPARE(form.captureNewBtn->toolTip(), QStringLiteral("Capture current instrument setting"));
    QCOMPARE(form.listView->headerItem()->text(0), QStringLiteral("Name:"));
    QCOMPARE(form.listView->headerItem()->text(1), QStringLiteral("Description:"));
    QVERIFY(m_script->messageBoxes().empty());
}

void TestResourcesAgent::emptyTagStillWalksIntoFormFrameAndListView() {
    frmSample form;
    form.setWindowTitle(QStringLiteral("Form1"));
    ListingFrame frame;
    QPushButton inFrame;
    inFrame.setProperty("Tag", QStringLiteral("Caption=207"));
    frame.controls = {&inFrame};
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&form);
    agent.SetResourceValuesForObject(&frame);
    agent.SetResourceValuesForObject(form.listView);
    QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(form.label->text(), QStringLiteral("Name:"));
    QCOMPARE(inFrame.text(), QStringLiteral("Optional"));
    QCOMPARE(form.listView->headerItem()->text(1), QStringLiteral("Description:"));
}

void TestResourcesAgent::typeNameContainingFormIsWalkedInto() {
    Transformer transformer;
    QPushButton inside;
    inside.setProperty("Tag", QStringLiteral("Caption=206"));
    transformer.controls = {&inside};
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&transformer);
    QCOMPARE(inside.text(), QStringLiteral("Remove"));
}

void TestResourcesAgent::frameWithoutControlsEndsSilently() {
    QGroupBox frame(QStringLiteral("placeholder"));
    frame.setProperty("Tag", QStringLiteral("Caption=207"));
    QPushButton *inside = button(&frame, "Caption=206");
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&frame);
    // The frame's own caption is set; its controls come through the form's list.
    QCOMPARE(frame.title(), QStringLiteral("Optional"));
    QCOMPARE(inside->text(), QStringLiteral("placeholder"));
    QVERIFY(m_script->messageBoxes().empty());
}

void TestResourcesAgent::columnHeaderWithBadTagEndsTheHeaders() {
    ListView view;
    for (const char *tag : {"200", "x", "201"})
        view.ColumnHeaders()->Add(QStringLiteral("old"))->setTag(QString::fromLatin1(tag));
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&view);
    QCOMPARE(view.headerItem()->text(0), QStringLiteral("Name:"));
    QCOMPARE(view.headerItem()->text(1), QStringLiteral("old"));
    QCOMPARE(view.headerItem()->text(2), QStringLiteral("old"));
    QVERIFY(m_script->messageBoxes().empty());
}

void TestResourcesAgent::listViewCaptionIsNotSupportedButHeadersStillSet() {
    ListView view;
    view.setProperty("Tag", QStringLiteral("Caption=203"));
    view.ColumnHeaders()->Add()->setTag(QStringLiteral("201"));
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&view);
    QCOMPARE(view.headerItem()->text(0), QStringLiteral("Description:"));
    QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));
    QCOMPARE(
        m_script->messageBoxes().front().text,
        QStringLiteral("caption\r\nField name is not supported\r\nfor control type = listview"));
}

void TestResourcesAgent::failureForOneControlNeverStopsTheOthers() {
    QWidget form;
    QPushButton *bad = button(&form, "Caption=abc");
    QPushButton *good = button(&form, "Caption=205");
    QObject plain;
    const QVariantList list{
        QVariant::fromValue<QObject *>(bad), QVariant(42), QVariant::fromValue<QObject *>(nullptr),
        QVariant::fromValue<QObject *>(&plain), QVariant::fromValue<QObject *>(good)};
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForSubordinateObjects(list);
    QCOMPARE(bad->text(), QStringLiteral("placeholder"));
    QCOMPARE(good->text(), QStringLiteral("Edit Name..."));
}

void TestResourcesAgent::brokenEnumerationPassesOverTheRest() {
    QWidget form;
    BrokenList list;
    list.controls = {button(&form, "Caption=204"), button(&form, "Caption=205")};
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForSubordinateObjects(QVariant::fromValue<QObject *>(&list));
    QCOMPARE(qobject_cast<QPushButton *>(list.controls[0])->text(), QStringLiteral("Restore"));
    QCOMPARE(qobject_cast<QPushButton *>(list.controls[1])->text(), QStringLiteral("placeholder"));
}

void TestResourcesAgent::controlDeletedDuringMessageBoxIsSafe() {
    const auto deleting = std::make_shared<DeletingInteraction>();
    const ScopedInteraction scope(deleting);
    QWidget form;
    QPushButton *doomed = button(&form, "Foo=1;Caption=203;ToolTipText=235");
    QPushButton *next = button(&form, "Caption=204");
    deleting->victim = doomed;
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForSubordinateObjects(QVariant::fromValue(QObjectList{doomed, next}));
    QCOMPARE(next->text(), QStringLiteral("Restore"));
    QCOMPARE(deleting->messageBoxes().size(), std::size_t(1));
}

void TestResourcesAgent::nullControlIsPassedOver() {
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(nullptr);
    agent.SetResourceValuesWithMarkupString(nullptr, QStringLiteral("Caption=203;Foo=1"));
    agent.SetResourceValuesForSubordinateObjects(QVariant());
    QVERIFY(m_script->messageBoxes().empty());
}

void TestResourcesAgent::failingProviderShowsNotSupportedAndContinues() {
    const auto provider = std::make_shared<FakeResources>(7, QStringLiteral("Any"));
    provider->failTexts = true;
    CIxoResourcesAgent agent;
    agent.SetResources(provider);
    QPushButton target(QStringLiteral("before"));
    agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("Caption=203;ToolTipText=235"));
    QCOMPARE(target.text(), QStringLiteral("before"));
    QCOMPARE(m_script->messageBoxes().size(), std::size_t(2));
    QCOMPARE(m_script->messageBoxes().at(1).text,
             QStringLiteral("tooltiptext\r\nField name is not supported\r\nfor control type = "
                            "commandbutton"));
}

void TestResourcesAgent::setResourcesUsesThatProvider() {
    const auto provider = std::make_shared<FakeResources>(7, QStringLiteral("Any"));
    CIxoResourcesAgent agent;
    agent.SetResources(provider);
    QCOMPARE(agent.resources(), ObjectRef(provider));
    QPushButton target;
    agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("Caption=203"));
    QCOMPARE(target.text(), QStringLiteral("fake7:203"));
}

void TestResourcesAgent::setResourcesRefusesNonProvider() {
    CIxoResourcesAgent agent;
    const ObjectRef before = agent.resources();
    QCOMPARE(errorOf([&] { agent.SetResources(std::make_shared<QObject>()); }),
             ErrorNumber::TypeMismatch);
    QCOMPARE(agent.resources(), before);
}

void TestResourcesAgent::setResourcesNothingEmptiesProvider() {
    CIxoResourcesAgent agent;
    QCOMPARE(errorOf([&] { agent.SetResources(nullptr); }), ErrorNumber::ObjectNotSet);
    QVERIFY(!agent.resources());
    QPushButton target(QStringLiteral("before"));
    agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("203"));
    QCOMPARE(target.text(), QStringLiteral("before"));
    QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));
    QCOMPARE(m_script->messageBoxes().front().text,
             QStringLiteral("caption\r\nField name is not supported\r\nfor control type = "
                            "commandbutton"));
    // Without a provider to ask, the next choice falls back to the built-in one.
    const ObjectRef chosen = agent.LoadResourcesForObject(QStringLiteral("any"), 49);
    QVERIFY(dynamic_cast<ixo::CIxoResourcesDefault *>(chosen.get()));
}

QTEST_MAIN(TestResourcesAgent)
#include "tst_resourcesagent.moc"
