#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "locale/CIxoResourcesDefault.h"
#include "locale/LocaleManager.h"
#include "localization/CIxoResourcesAgent.h"
#include "localization/IxoResourcesGlobals.h"

#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <limits>
#include <thread>
#include <typeinfo>

using namespace ixo;
using test::errorOf;

namespace {

const QString kCategory = ResourceCategoryId.toString();
const QString kMissing = QStringLiteral("Failed to load string for resource id=%1");
const QString P = QStringLiteral("placeholder");
const QString PT = QStringLiteral("placeholder tip");
const QString C = QStringLiteral("Capture New...");
const QString T = QStringLiteral("Capture current instrument setting");

IxoResource &asResource(const ObjectRef &object) {
    return dynamic_cast<IxoResource &>(*object);
}

bool isDefault(const ObjectRef &resources) {
    const QObject *object = resources.get();
    return object && typeid(*object) == typeid(CIxoResourcesDefault);
}

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

// An agent whose locale manager is this object, which logs its calls and breaks as `library`
// says; the factory can also throw or give nothing.
struct Harness : LocaleManager {
    explicit Harness(Library library = Library::Works)
        : library(library)
        , agent([this]() -> LocaleManagerRef {
            ++managers;
            if (this->library == Library::NoManager)
                throw std::runtime_error("cannot create");
            if (this->library == Library::Null)
                return nullptr;
            return LocaleManagerRef(LocaleManagerRef(), this); // owned by the test
        }) {}
    Library library;
    int managers = 0;
    QStringList log;
    CIxoResourcesAgent agent;

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

// A message box as the agent shows it about a field of a control.
QString message(const QString &field, const char *problem, const char *type = "commandbutton") {
    return QStringLiteral("16 CIxoResourcesAgent.SetResourceValueForField: %1\r\n"
                          "Field name is not %2\r\nfor control type = %3")
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

// A small form laid out like the library's control: a list view, a frame with two buttons.
class SampleControl : public QWidget {
public:
    SampleControl() {
        listView = new ListView(this);
        listView->ColumnHeaders()->Add(QStringLiteral("Name"))->setTag(QStringLiteral("200"));
        listView->ColumnHeaders()->Add(QStringLiteral("Desc"))->setTag(QStringLiteral("201"));
        frame = new QGroupBox(P, this);
        frame->setProperty("Tag", QStringLiteral("Caption=202"));
        buttons = {button(frame, "Caption=203;ToolTipText=235"),
                   button(frame, "Caption=204;ToolTipText=236")};
        InitResources(MemberAccess::controlsOf(*this));
    }
    ~SampleControl() override { FreeResources(); }

    // Switches the thread's provider by country code and fills the texts again.
    void LoadResources(std::int32_t countryCode) {
        gResources =
            IxoResourceRef(gResourcesAgent->LoadResourcesForObject(kCategory, countryCode));
        gResourcesAgent->SetResourceValuesForSubordinateObjects(
            QVariant::fromValue(MemberAccess::controlsOf(*this)));
    }

    // The texts shown, joined by '|'.
    QString texts() const {
        QStringList shown{listView->headerItem()->text(0), listView->headerItem()->text(1),
                          frame->title()};
        for (const QPushButton *button : buttons)
            shown << button->text() << button->toolTip();
        return shown.join(u'|');
    }

    ListView *listView;
    QGroupBox *frame;
    QList<QPushButton *> buttons;
};

const QString kEnglish = QStringLiteral("Name:|Description:|Instrument State|Capture New...|"
                                        "Capture current instrument setting|Restore|"
                                        "Restore highlighted state to instrument");
const QString kGerman = QStringLiteral("Name:|Beschreibung:|Gerätezustand|Neu erfassen...|"
                                       "Aktuelle Geräteeinstellung erfassen|Wiederherstellen|"
                                       "Markierten Zustand im Gerät wiederherstellen");
const QString kFrench = QStringLiteral("Nom :|Description :|État de l'instrument|"
                                       "Nouvelle capture...|"
                                       "Capturer le réglage actuel de l'instrument|Restaurer|"
                                       "Restaurer l'état sélectionné sur l'instrument");

} // namespace

// A form as the library's dialogs are: its class name starts with "frm".
class frmSample : public QDialog {
    Q_OBJECT
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

// A collection reached through Count and Item(i), counted from 1.
class CountedList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)

public:
    QVariantList elements;
    int count() const { return static_cast<int>(elements.size()); }
    Q_INVOKABLE QVariant Item(int index) const { return elements.value(index - 1); }
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

// The built-in and compiled catalogues, the agent that puts their texts into controls, and the
// thread's agent and provider that the controls share.
class TestLocalization : public QObject {
    Q_OBJECT

    std::shared_ptr<DeletingInteraction> m_script;
    std::unique_ptr<ScopedInteraction> m_scope;

    // The message boxes shown so far, as "<style> <title>: <text>".
    QStringList shown() const {
        QStringList messages;
        for (const auto &call : m_script->messageBoxes())
            messages << QStringLiteral("%1 %2: %3").arg(call.style).arg(call.title, call.text);
        return messages;
    }

private slots:
    void init() {
        m_scope.reset();
        m_script = std::make_shared<DeletingInteraction>();
        m_scope = std::make_unique<ScopedInteraction>(m_script);
    }

    void builtInText_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        // The texts of ids 200 to 245, empty where there is none. Several begin or end with a space
        // because messages are built by concatenation.
        const QStringList texts =
            QStringLiteral(
                "Name:;Description:;Instrument State;Capture New...;Restore;Edit Name...;"
                "Remove;Optional;Import...;Export...;Capture New State;Edit State Name ;"
                "Import previously stored state file;Tessaview State Files (*.sta)|*.sta;"
                "Export ; To;State ;OK;Cancel;Failed to Capture State from the Instrument;"
                "Error Details: ;Error;Failed to Export state to a file, Error = ;"
                "The imported state is for the ;, version ;Can not import state file.;"
                "Imported state ; is already in the list.;You must rename it.;"
                " does not appear to be a standard state file.;"
                "Failed to reset instrument to saved state;"
                "The selected state is for the instrument model ;"
                "which is not the currently connected instrument. The state was not "
                "restored.; is already a Captured State.;;"
                "Capture current instrument setting;Restore highlighted state to instrument;"
                "Edit the name and description of the highlighted state;"
                "Remove the highlighted state from the list;;"
                "Retrieve an instrument state from a file;"
                "Save the highlighted state to a file;;;"
                "Save name and description with instrument state;Cancel the save operation")
                .split(u';');
        QCOMPARE(texts.size(), 46);
        for (int id = 200; id <= 245; ++id) {
            const QString text = texts.at(id - 200);
            QTest::addRow("%d", id) << id << (text.isEmpty() ? kMissing.arg(id) : text);
        }
        for (const int id : {199, 246, -1, std::numeric_limits<int>::min()})
            QTest::addRow("missing %d", id) << id << kMissing.arg(id);
    }

    void builtInText() {
        QFETCH(int, id);
        QTEST(CIxoResourcesDefault().LoadResString(id), "text");
    }

    // The library's own pictures: nothing of them is compiled into this test.
    void builtInPictures_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("frameCorner"); // a black pixel of the drawn instrument
        QTest::newRow("toolbox bitmap") << 30000 << 0 << QSize(16, 15) << QPoint(0, 1);
        QTest::newRow("icon") << 101 << 1 << QSize(32, 32) << QPoint(0, 2);
    }

    void builtInPictures() {
        QFETCH(int, id);
        QFETCH(int, format);
        QFETCH(QPoint, frameCorner);
        CIxoResourcesDefault builtIn;
        const QImage picture = builtIn.LoadResPicture(id, format);
        QTEST(picture.size(), "size");
        QCOMPARE(picture.pixelColor(frameCorner), QColor(Qt::black));
        // The same picture through the provider's interface.
        IxoResource &provider = builtIn;
        QCOMPARE(provider.LoadResPicture(id, format), picture);
    }

    void picturesDataAndErrorNumbers() {
        CIxoResourcesDefault builtIn;
        QCOMPARE(builtIn.LoadResData(7, 10), QVariant(QByteArray("seven\n")));

        using Call = std::function<void(IxoResource &)>;
        const std::pair<Call, int> cases[] = {
            {[](IxoResource &r) { r.LoadResPicture(1, 0); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 1); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 3); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResPicture(30000, 65536); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.LoadResData(8, 10); }, ErrorNumber::Fail},
            {[](IxoResource &r) { r.Mask(200); }, ErrorNumber::NotImplemented}};
        for (const auto &entry : cases) {
            const Call &call = entry.first;
            QCOMPARE(errorOf([&] { call(builtIn); }), entry.second);
            // Neither error number comes with a description of its own.
            QCOMPARE(test::errorTextOf([&] { call(builtIn); }), QString());
        }
        // The localized catalogues carry texts only.
        const ObjectRef created = LocaleManager().CreateResources(kCategory, 33);
        IxoResource &french = asResource(created);
        QCOMPARE(errorOf([&] { french.LoadResPicture(30000, 0); }), ErrorNumber::Fail);
        QCOMPARE(errorOf([&] { french.LoadResData(7, 10); }), ErrorNumber::Fail);
        QCOMPARE(errorOf([&] { french.Mask(200); }), ErrorNumber::NotImplemented);
    }

    void localized_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("font");
        QTest::addColumn<QString>("capture");
        QTest::addColumn<QString>("title");
        const auto add = [](const char *name, int code, const char *language, const char *font,
                            const char *capture, const char *title) {
            QTest::newRow(name) << code << QString::fromUtf8(language) << QString::fromUtf8(font)
                                << QString::fromUtf8(capture) << QString::fromUtf8(title);
        };
        add("German", 49, "Deutsch", "DejaVu Sans", "Neu erfassen...", "Zustandsnamen bearbeiten ");
        add("French", 33, "Français", "DejaVu Sans", "Nouvelle capture...",
            "Modifier le nom de l'état ");
        add("Japanese", 81, "日本語", "Noto Sans CJK JP", "新規取得...", "状態名の編集 ");
    }

    void localized() {
        QFETCH(int, code);
        const QString file = LocaleManager::catalogueFile(kCategory, code);
        QVERIFY2(!file.isEmpty(), qPrintable(LocaleManager::catalogueDirectories().join(',')));
        QTranslator catalogue;
        QVERIFY(catalogue.load(file));
        // The messages are looked up by id, not by their English source.
        QTEST(catalogue.translate(nullptr, "203"), "capture");
        for (const auto &[id, english] : CIxoResourcesDefault::catalogue()) {
            const QString text = catalogue.translate(nullptr, QByteArray::number(id).constData());
            const QByteArray where = QByteArray::number(id);
            QVERIFY2(!text.isEmpty(), where);
            QVERIFY2(text.startsWith(u' ') == english.startsWith(u' '), where);
            QVERIFY2(text.endsWith(u' ') == english.endsWith(u' '), where);
        }
        QCOMPARE(catalogue.translate(nullptr, "213").section(u'|', 1), QStringLiteral("*.sta"));

        const ObjectRef created = LocaleManager().CreateResources(kCategory.toLower(), code);
        IxoResource &resources = asResource(created);
        QCOMPARE(resources.CountryCode(), code);
        QTEST(resources.Language(), "language");
        QTEST(resources.FontName(), "font");
        QTEST(resources.LoadResString(211), "title");
        QCOMPARE(resources.LoadResString(234), kMissing.arg(234));
    }

    void unknownCatalogueAndFont() {
        LocaleManager manager;
        for (const int code : {44, 0})
            QCOMPARE(errorOf([&] { manager.CreateResources(kCategory, code); }), ErrorNumber::Fail);
        for (const QString &category :
             {QStringLiteral("{00000000-0000-0000-0000-000000000000}"), QString()})
            QCOMPARE(errorOf([&] { manager.CreateResources(category, 49); }), ErrorNumber::Fail);
        const QStringList families = QFontDatabase::families();
        QVERIFY(!families.isEmpty());
        QVERIFY(manager.IsFontAvailable(families.first().toUpper()));
        QVERIFY(!manager.IsFontAvailable(QStringLiteral("No Such Font Anywhere")));
        QVERIFY(!manager.IsFontAvailable(QString()));
    }

    void markup_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("markup");
        QTest::addColumn<QString>("main");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QStringList>("messages");
        row("caption and tip", "button", "Caption=203;ToolTipText=235", C, T);
        row("bare id on button", "button", "203", C, PT);
        row("equals id on button", "button", "=203", C, PT);
        row("bare id on text box", "textbox", "203", C, PT);
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
        row("missing id", "button", "Caption=234", kMissing.arg(234), PT);
        row("lowest id", "button", "Caption=-32768", kMissing.arg(-32768), PT);
        row("half to even", "button", "Caption=202.5;ToolTipText=235.5",
            QStringLiteral("Instrument State"),
            QStringLiteral("Restore highlighted state to instrument"));
        row("hexadecimal ids", "button", "Caption=&HCB;ToolTipText=&heb", C, T);
        row("spaces around id", "button", "Caption= 203 ;ToolTipText=235", C, T);
        row("later entry wins", "button", "Caption=203;caption=204", QStringLiteral("Restore"), PT);
        row("only separators", "button", " ;; ", P, PT);
    }

    void markup() {
        QFETCH(QString, kind);
        QFETCH(QString, markup);
        const std::unique_ptr<QWidget> control(kind == QLatin1String("textbox")
                                                   ? static_cast<QWidget *>(new QLineEdit(P))
                                                   : new QPushButton(P));
        control->setToolTip(PT);
        CIxoResourcesAgent().SetResourceValuesWithMarkupString(control.get(), markup);
        QTEST(control->property("text").toString(), "main");
        QTEST(control->toolTip(), "tip");
        QTEST(shown(), "messages");
    }

    void walksIntoFormsFramesAndListViews() {
        frmSample form; // its Tag is empty, yet its controls are walked
        form.setWindowTitle(QStringLiteral("Form1"));
        auto *listView = new ListView(&form);
        listView->setProperty("Tag", QStringLiteral("Caption=203"));
        for (const char *tag : {"200", "201", "x", "200"})
            listView->ColumnHeaders()->Add(P)->setTag(QString::fromLatin1(tag));
        CIxoResourcesAgent agent;
        agent.SetResourceValuesForObject(&form);
        QCOMPARE(form.windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(listView->headerItem()->text(0), QStringLiteral("Name:"));
        QCOMPARE(listView->headerItem()->text(1), QStringLiteral("Description:"));
        // A header with a bad id ends the headers; the list view has no caption of its own.
        QCOMPARE(listView->headerItem()->text(3), P);
        QCOMPARE(shown(), QStringList{message(QStringLiteral("caption"), "supported", "listview")});

        // Any type name containing "form" is walked, and so is a frame with an empty Tag; a frame
        // with a caption gets it, and the controls inside it and inside a frame within it theirs.
        QWidget holder;
        auto *groupBox = new QGroupBox(&holder);
        groupBox->setProperty("Tag", QStringLiteral("Caption=202"));
        QPushButton *inside = button(groupBox, "Caption=203;ToolTipText=235");
        QPushButton *deeper = button(new QGroupBox(groupBox), "Caption=206");
        Transformer transformer;
        ListingFrame frame;
        frame.controls = {groupBox};
        transformer.controls = {&frame};
        agent.SetResourceValuesForObject(&transformer);
        QCOMPARE(groupBox->title(), QStringLiteral("Instrument State"));
        QCOMPARE(inside->text(), C);
        QCOMPARE(inside->toolTip(), T);
        QCOMPARE(deeper->text(), QStringLiteral("Remove"));
        QCOMPARE(shown().size(), 1);
    }

    void eachControlOnceAWalk_data() {
        QTest::addColumn<QString>("start");
        QTest::newRow("the form") << "form";
        QTest::newRow("the form's controls") << "controls";
        QTest::newRow("the frame") << "frame";
    }

    // A form's Controls holds the controls inside its frames, which the frames list again.
    void eachControlOnceAWalk() {
        QFETCH(QString, start);
        frmSample form;
        auto *frame = new QGroupBox(&form);
        frame->setProperty("Tag", QStringLiteral("Foo=202"));
        QPushButton *inside = button(frame, "Bar=203;Caption=203");
        button(new QGroupBox(frame), "Baz=204");
        CIxoResourcesAgent agent;
        const auto walk = [&] {
            if (start == QLatin1String("form"))
                agent.SetResourceValuesForObject(&form);
            else if (start == QLatin1String("controls"))
                agent.SetResourceValuesForSubordinateObjects(
                    QVariant::fromValue(MemberAccess::controlsOf(form)));
            else
                agent.SetResourceValuesForObject(frame);
        };
        const QStringList once{message(QStringLiteral("foo"), "recognized", "frame"),
                               message(QStringLiteral("bar"), "recognized"),
                               message(QStringLiteral("baz"), "recognized")};
        walk();
        QCOMPARE(shown(), once);
        QCOMPARE(inside->text(), C);
        // The next walk gives every control its texts again.
        walk();
        QCOMPARE(shown(), once + once);
    }

    void oneElementNeverStopsTheOthers_data() {
        QTest::addColumn<bool>("counted");
        QTest::newRow("list") << false;
        QTest::newRow("collection with Count and Item") << true;
    }

    // Neither a control deleted while its message is on screen, nor a bad id, nor an element
    // that is no control stops the walk over the others.
    void oneElementNeverStopsTheOthers() {
        QFETCH(bool, counted);
        QWidget form;
        QPushButton *first = button(&form, "Caption=206");
        QPushButton *doomed = button(&form, "Foo=1;Caption=203;ToolTipText=235");
        QPushButton *bad = button(&form, "Caption=abc");
        QPushButton *last = button(&form, "Caption=205");
        m_script->victim = doomed;
        QObject plain;
        const auto object = [](QObject *o) { return QVariant::fromValue(o); };
        CountedList list;
        list.elements << object(first) << object(doomed) << object(bad) << 42 << QVariant()
                      << QStringLiteral("Caption=203") << object(nullptr) << object(&plain)
                      << object(last);
        CIxoResourcesAgent agent;
        agent.SetResourceValuesForSubordinateObjects(counted ? object(&list)
                                                             : QVariant(list.elements));
        QVERIFY(!m_script->victim);
        QCOMPARE(first->text(), QStringLiteral("Remove"));
        QCOMPARE(bad->text(), P);
        QCOMPARE(last->text(), QStringLiteral("Edit Name..."));
        // Nothing to work on is no error either.
        agent.SetResourceValuesForObject(nullptr);
        agent.SetResourceValuesWithMarkupString(nullptr, QStringLiteral("Caption=203;Foo=1"));
        agent.SetResourceValuesForSubordinateObjects(QVariant());
        QCOMPARE(shown(), QStringList{message(QStringLiteral("foo"), "recognized")});
    }

    void setResources() {
        CIxoResourcesAgent agent;
        const auto provider = std::make_shared<Fake>(7);
        agent.SetResources(provider);
        QCOMPARE(agent.resources(), ObjectRef(provider));
        QPushButton target;
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("Caption=203"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));
        // A provider that fails leaves each field as it was, with a message about it.
        provider->failTexts = true;
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("204;ToolTipText=235"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));

        QCOMPARE(errorOf([&] { agent.SetResources(std::make_shared<QObject>()); }),
                 ErrorNumber::TypeMismatch);
        QCOMPARE(agent.resources(), ObjectRef(provider));
        QCOMPARE(errorOf([&] { agent.SetResources(nullptr); }), ErrorNumber::ObjectNotSet);
        QVERIFY(!agent.resources());
        agent.SetResourceValuesWithMarkupString(&target, QStringLiteral("204"));
        QCOMPARE(target.text(), QStringLiteral("7:203"));
        const QString caption = message(QStringLiteral("caption"), "supported");
        QCOMPARE(shown(), (QStringList{caption, message(QStringLiteral("tooltiptext"), "supported"),
                                       caption}));
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
        QCOMPARE(asResource(german).CountryCode(), 49);
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

    void globalsLiveWhileControlsDo() {
        QVERIFY(gResources.isEmpty() && gResourcesAgent.isEmpty());
        QCOMPARE(errorOf([] { gResources->LoadResString(221); }), ErrorNumber::ObjectNotSet);
        QCOMPARE(errorOf([] { gResourcesAgent->SetResourceValuesForObject(nullptr); }),
                 ErrorNumber::ObjectNotSet);
        // A termination without a creation must not leave the count below zero.
        FreeResources();
        auto first = std::make_unique<SampleControl>();
        const auto firstAgent = gResourcesAgent.shared();
        first->LoadResources(49);
        QCOMPARE(first->texts(), kGerman);
        {
            // A second control gets a new agent with the built-in provider ...
            SampleControl second;
            QCOMPARE(resourcesUserCount(), 2);
            QVERIFY(gResourcesAgent.shared() != firstAgent);
            QCOMPARE(gResources->CountryCode(), 0);
            QCOMPARE(gResources.object(), gResourcesAgent->resources());
            QCOMPARE(second.texts(), kEnglish);
            // ... and the first keeps the texts it shows.
            QCOMPARE(first->texts(), kGerman);
            second.LoadResources(33);
            QCOMPARE(second.texts(), kFrench);
        }
        // The remaining control still finds the pair, with the provider chosen last.
        QCOMPARE(gResources->LoadResString(221), QStringLiteral("Erreur"));
        first->LoadResources(0);
        QCOMPARE(first->texts(), kEnglish);
        QVERIFY(shown().isEmpty());
        first.reset();
        QVERIFY(gResources.isEmpty() && gResourcesAgent.isEmpty());
        QCOMPARE(errorOf([] { gResources->CountryCode(); }), ErrorNumber::ObjectNotSet);
    }

    void eachThreadHasItsOwnPair() {
        const SampleControl control;
        const ObjectRef mine = gResources.object();
        bool emptyThere = false;
        ObjectRef theirs;
        std::thread other([&] {
            emptyThere = gResources.isEmpty() && gResourcesAgent.isEmpty();
            InitResources(QObjectList());
            theirs = gResources.object();
            FreeResources();
        });
        other.join();
        QVERIFY(emptyThere);
        QVERIFY(theirs && theirs != mine);
        QCOMPARE(gResources.object(), mine);
    }
};

QTEST_MAIN(TestLocalization)
#include "tst_localization.moc"
