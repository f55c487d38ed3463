#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "localization/CIxoResourcesAgent.h"
#include "localization/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <typeinfo>

using namespace ixo;
using test::errorOf;

namespace {

const QString kCategory = ResourceCategoryId.toString();
const QString P = QStringLiteral("placeholder");
const QString PT = QStringLiteral("placeholder tip");
const QString C = QStringLiteral("Capture New...");
const QString T = QStringLiteral("Capture current instrument setting");

[[noreturn]] void fail() {
    throw AutomationError(ErrorNumber::Fail, QStringLiteral("Fake"), QStringLiteral("fails"));
}

template <typename T> T unlessFailing(bool failing, T value) {
    if (failing)
        fail();
    return value;
}

// A localized provider whose texts are "<code>:<id>"; each part can be made to fail.
class Fake : public CIxoResourcesDefault {
public:
    explicit Fake(std::int32_t code)
        : code(code) {}
    std::int32_t code;
    bool failTexts = false, failFont = false, failCode = false;

    QString FontName() const override {
        return unlessFailing(failFont, QStringLiteral("FakeFont"));
    }
    std::int32_t CountryCode() const override { return unlessFailing(failCode, code); }
    QString LoadResString(std::int32_t id) override {
        return unlessFailing(failTexts, QStringLiteral("%1:%2").arg(code).arg(id));
    }
};

enum class Library { Works, NoFont, CreateFails, Nothing, NoProvider, FontFails, NoManager, Null };

class FakeManager : public LocaleManager {
public:
    FakeManager(Library library, QStringList &log)
        : library(library)
        , log(log) {}
    Library library;
    QStringList &log;

    ObjectRef CreateResources(const QString &category, std::int32_t code) override {
        log << QStringLiteral("CreateResources(%1,%2)").arg(category).arg(code);
        if (library == Library::CreateFails)
            fail();
        if (library == Library::Nothing)
            return nullptr;
        if (library == Library::NoProvider)
            return std::make_shared<QObject>();
        auto resources = std::make_shared<Fake>(code);
        resources->failFont = library == Library::FontFails;
        return resources;
    }
    bool IsFontAvailable(const QString &font) override {
        log << QStringLiteral("IsFontAvailable(%1)").arg(font);
        return library != Library::NoFont;
    }
};

// An agent whose locale managers are fakes; a factory that throws or gives nothing is one too.
struct Harness {
    explicit Harness(Library library = Library::Works)
        : agent([this, library]() -> LocaleManagerRef {
            ++managers;
            if (library == Library::NoManager)
                throw std::runtime_error("cannot create");
            if (library == Library::Null)
                return nullptr;
            return std::make_shared<FakeManager>(library, log);
        }) {}
    int managers = 0;
    QStringList log;
    CIxoResourcesAgent agent;
};

bool isDefault(const ObjectRef &resources) {
    const QObject *object = resources.get();
    return object && typeid(*object) == typeid(CIxoResourcesDefault);
}

std::int32_t codeOf(const ObjectRef &resources) {
    return dynamic_cast<IxoResource &>(*resources).CountryCode();
}

QString message(const QString &field, const char *problem, const char *type = "commandbutton") {
    return QStringLiteral("%1\r\nField name is not %2\r\nfor control type = %3")
        .arg(field, QLatin1String(problem), QLatin1String(type));
}

QPushButton *button(QWidget *parent, const char *tag) {
    auto *result = new QPushButton(P, parent);
    result->setProperty("Tag", QString::fromLatin1(tag));
    return result;
}

void row(const char *name, const char *kind, const char *markup, const QString &main,
         const QString &tip, const QStringList &messages = {}) {
    QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(markup) << main << tip
                        << messages;
}

} // namespace

Q_DECLARE_METATYPE(Library)

// A form as the library's dialogs are: its class name starts with "frm".
class frmSample : public QDialog {
    Q_OBJECT

public:
    frmSample() {
        label = new QLabel(P, this);
        label->setProperty("Tag", QStringLiteral("Caption=200"));
        nameTextBox = new QLineEdit(QStringLiteral("typed"), this);
        frame = new QGroupBox(P, this);
        frame->setProperty("Tag", QStringLiteral("Caption=202"));
        inFrame = button(frame, "Caption=203;ToolTipText=235");
        listView = new ListView(this);
        listView->setProperty("Tag", QStringLiteral("Caption=203"));
        for (const char *tag : {"200", "201", "x", "200"})
            listView->ColumnHeaders()->Add(P)->setTag(QString::fromLatin1(tag));
    }
    QLabel *label;
    QLineEdit *nameTextBox;
    QGroupBox *frame;
    QPushButton *inFrame;
    ListView *listView;
};

// A frame that lists its own controls.
class ListingFrame : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "Frame")
    Q_PROPERTY(QObjectList Controls MEMBER controls)
    Q_PROPERTY(QString Tag MEMBER tag)

public:
    QObjectList controls;
    QString tag;
};

class Transformer : public ListingFrame {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "Transformer")
};

// Can delete a control while the message about it is on screen, as a user's action could.
class DeletingInteraction : public ScriptedInteraction {
public:
    QPointer<QObject> victim;
    int messageBox(const QString &text, int style, const QString &title) override {
        delete victim.data();
        return ScriptedInteraction::messageBox(text, style, title);
    }
};

class TestAgent : public QObject {
    Q_OBJECT

    std::shared_ptr<DeletingInteraction> m_script;
    std::unique_ptr<ScopedInteraction> m_scope;

private slots:
    void init() {
        m_scope.reset();
        m_script = std::make_shared<DeletingInteraction>();
        m_scope = std::make_unique<ScopedInteraction>(m_script);
    }

    void markup_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("main");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QStringList>("messages");
        const QString missing = QStringLiteral("Failed to load string for resource id=");
        row("caption and tip", "button", "Caption=203;ToolTipText=235", C, T);
        row("bare id on button", "button", "203", C, PT);
        row("equals id on button", "button", "=203", C, PT);
        row("bare id on text box", "textbox", "203", C, PT);
        row("equals id on text box", "textbox", "=203", C, PT);
        row("text of text box", "textbox", "Text=203;ToolTipText=235", C, T);
        row("outer spaces, any case", "button", "  CAPTION=203  ", C, PT);
        row("empty entries", "button", ";;Caption=203;", C, PT);
        row("space after semicolon", "button", "Caption=203; ToolTipText=235", C, PT,
            {message(QStringLiteral(" tooltiptext"), "recognized")});
        row("space before equals", "button", "Caption =203", P, PT,
            {message(QStringLiteral("caption "), "recognized")});
        row("tab is not trimmed", "button", "\tCaption=203", P, PT,
            {message(QStringLiteral("\tcaption"), "recognized")});
        row("abc abandons", "button", "Caption=abc;ToolTipText=235", P, PT);
        row("32768 abandons", "button", "Caption=32768;ToolTipText=235", P, PT);
        row("split at first equals", "button", "Caption=203=1;ToolTipText=235", P, PT);
        row("bad id keeps earlier", "button", "ToolTipText=235;Caption=abc", P, T);
        row("unknown field", "button", "Foo=203;Caption=203", C, PT,
            {message(QStringLiteral("foo"), "recognized")});
        row("text box has no caption", "textbox", "Caption=203;ToolTipText=235", P, T,
            {message(QStringLiteral("caption"), "supported", "textbox")});
        row("button has no text", "button", "Text=203;ToolTipText=235", P, T,
            {message(QStringLiteral("text"), "supported")});
        row("missing id", "button", "Caption=234", missing + QStringLiteral("234"), PT);
        row("lowest id", "button", "Caption=-32768", missing + QStringLiteral("-32768"), PT);
        row("half to even", "button", "Caption=202.5;ToolTipText=235.5",
            QStringLiteral("Instrument State"),
            QStringLiteral("Restore highlighted state to instrument"));
        row("later entry wins", "button", "Caption=203;caption=204", QStringLiteral("Restore"), PT);
        row("only separators", "button", " ;; ", P, PT);
    }

    void markup() {
        QFETCH(QString, kind);
        QFETCH(QString, markup);
        std::unique_ptr<QWidget> control;
        if (kind == QLatin1String("textbox"))
            control = std::make_unique<QLineEdit>(P);
        else
            control = std::make_unique<QPushButton>(P);
        control->setToolTip(PT);
        CIxoResourcesAgent agent;
        agent.SetResourceValuesWithMarkupString(control.get(), markup);
        QTEST(control->property("text").toString(), "main");
        QTEST(control->toolTip(), "tip");
        QStringList shown;
        for (const auto &call : m_script->messageBoxes()) {
            shown << call.text;
            QCOMPARE(call.style, 16);
            QCOMPARE(call.title, QStringLiteral("CIxoResourcesAgent.SetResourceValueForField"));
        }
        QTEST(shown, "messages");
    }

    void walksIntoFormsFramesAndListViews() {
        frmSample form; // its Tag is empty, yet its controls are walked
        form.setWindowTitle(QStringLiteral("Form1"));
        CIxoResourcesAgent agent;
        agent.SetResourceValuesForObject(&form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(form.label->text(), QStringLiteral("Name:"));
        QCOMPARE(form.nameTextBox->text(), QStringLiteral("typed"));
        QCOMPARE(form.frame->title(), QStringLiteral("Instrument State"));
        QCOMPARE(form.inFrame->text(), C);
        QCOMPARE(form.inFrame->toolTip(), T);
        QCOMPARE(form.listView->headerItem()->text(0), QStringLiteral("Name:"));
        QCOMPARE(form.listView->headerItem()->text(1), QStringLiteral("Description:"));
        // A header with a bad id ends the headers; the list view has no caption of its own.
        QCOMPARE(form.listView->headerItem()->text(3), P);
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));
        QCOMPARE(m_script->messageBoxes().front().text,
                 message(QStringLiteral("caption"), "supported", "listview"));

        // A group box has no Controls of its own: reached alone, its children stay as they are.
        form.inFrame->setText(P);
        agent.SetResourceValuesForObject(form.frame);
        QCOMPARE(form.inFrame->text(), P);

        // Any type name containing "form" is walked, and so is a frame with an empty Tag.
        QWidget holder;
        QPushButton *inside = button(&holder, "Caption=206");
        Transformer transformer;
        ListingFrame frame;
        frame.controls = {inside};
        transformer.controls = {&frame};
        agent.SetResourceValuesForObject(&transformer);
        QCOMPARE(inside->text(), QStringLiteral("Remove"));
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));
    }

    void oneControlNeverStopsTheOthers() {
        QWidget form;
        QPushButton *doomed = button(&form, "Foo=1;Caption=203;ToolTipText=235");
        QPushButton *bad = button(&form, "Caption=abc");
        QPushButton *good = button(&form, "Caption=205");
        m_script->victim = doomed;
        QObject plain;
        CIxoResourcesAgent agent;
        agent.SetResourceValuesForSubordinateObjects(QVariantList{
            QVariant::fromValue<QObject *>(doomed), QVariant::fromValue<QObject *>(bad), 42,
            QVariant::fromValue<QObject *>(nullptr), QVariant::fromValue<QObject *>(&plain),
            QVariant::fromValue<QObject *>(good)});
        QVERIFY(!m_script->victim);
        QCOMPARE(bad->text(), P);
        QCOMPARE(good->text(), QStringLiteral("Edit Name..."));
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));

        agent.SetResourceValuesForObject(nullptr);
        agent.SetResourceValuesWithMarkupString(nullptr, QStringLiteral("Caption=203;Foo=1"));
        agent.SetResourceValuesForSubordinateObjects(QVariant());
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(1));
    }

    void setResources() {
        CIxoResourcesAgent agent;
        const auto provider = std::make_shared<Fake>(7);
        agent.SetResources(provider);
        QCOMPARE(agent.resources(), ObjectRef(provider));
        QPushButton target;
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("Caption=203"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));

        provider->failTexts = true;
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("204;ToolTipText=235"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(2));
        QCOMPARE(m_script->messageBoxes().at(1).text,
                 QStringLiteral("tooltiptext\r\nField name is not supported\r\nfor control type = "
                                "commandbutton"));

        QCOMPARE(errorOf([&] { agent.SetResources(std::make_shared<QObject>()); }),
                 ErrorNumber::TypeMismatch);
        QCOMPARE(agent.resources(), ObjectRef(provider));
        QCOMPARE(errorOf([&] { agent.SetResources(nullptr); }), ErrorNumber::ObjectNotSet);
        QVERIFY(!agent.resources());
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("204"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));
        QCOMPARE(m_script->messageBoxes().size(), std::size_t(3));
        // Without a provider to ask, the next choice falls back to the built-in one.
        QVERIFY(isDefault(agent.LoadResourcesForObject(kCategory, 49)));
    }

    void choosesByCountryCode() {
        Harness harness;
        CIxoResourcesAgent &agent = harness.agent;
        const ObjectRef initial = agent.resources();
        QVERIFY(isDefault(initial));
        QCOMPARE(agent.LoadResourcesForObject(kCategory, 0), initial);
        const ObjectRef german = agent.LoadResourcesForObject(kCategory, 49);
        QCOMPARE(codeOf(german), 49);
        QCOMPARE(harness.log, (QStringList{QStringLiteral("CreateResources(%1,49)").arg(kCategory),
                                           QStringLiteral("IsFontAvailable(FakeFont)")}));
        // The same code keeps the object; the category takes no part in the comparison.
        QCOMPARE(agent.LoadResourcesForObject(QStringLiteral("other"), 49), german);
        QCOMPARE(harness.managers, 1);
        const ObjectRef back = agent.LoadResourcesForObject(kCategory, 0);
        QVERIFY(isDefault(back) && back != initial);
        QCOMPARE(agent.resources(), back);
        agent.LoadResourcesForObject(kCategory, 33);
        QCOMPARE(harness.managers, 2);
        // A current provider that cannot tell its code is replaced without asking a manager.
        const auto broken = std::make_shared<Fake>(49);
        broken->failCode = true;
        agent.SetResources(broken);
        QVERIFY(isDefault(agent.LoadResourcesForObject(kCategory, 49)));
        QCOMPARE(harness.managers, 2);
    }

    void fallsBackToBuiltIn_data() {
        QTest::addColumn<Library>("library");
        QTest::newRow("font-less locale") << Library::NoFont;
        QTest::newRow("CreateResources fails") << Library::CreateFails;
        QTest::newRow("gives Nothing") << Library::Nothing;
        QTest::newRow("gives no provider") << Library::NoProvider;
        QTest::newRow("FontName fails") << Library::FontFails;
        QTest::newRow("no manager") << Library::NoManager;
        QTest::newRow("manager is Nothing") << Library::Null;
    }

    void fallsBackToBuiltIn() {
        QFETCH(Library, library);
        Harness harness(library);
        harness.agent.SetResources(std::make_shared<Fake>(33));
        const ObjectRef chosen = harness.agent.LoadResourcesForObject(kCategory, 49);
        QVERIFY(isDefault(chosen));
        QCOMPARE(harness.agent.resources(), chosen);
        QCOMPARE(harness.managers, 1);
    }
};

QTEST_MAIN(TestAgent)
#include "tst_agent.moc"
