#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "localization/CIxoResourcesAgent.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <memory>

using ixo::CIxoResourcesAgent;
using ixo::ScopedInteraction;
using ixo::ScriptedInteraction;

namespace {

const QString kCaption = QStringLiteral("placeholder caption");
const QString kTip = QStringLiteral("placeholder tip");

// A control of the kind asked for with placeholder texts; main is what Caption or Text sets.
struct Control {
    std::unique_ptr<QWidget> widget;
    std::function<QString()> main;
};

Control makeControl(const QString &kind) {
    Control control;
    if (kind == QLatin1String("textbox")) {
        auto *edit = new QLineEdit(kCaption);
        control.widget.reset(edit);
        control.main = [edit] { return edit->text(); };
    } else if (kind == QLatin1String("multiline")) {
        auto *edit = new QTextEdit;
        edit->setPlainText(kCaption);
        control.widget.reset(edit);
        control.main = [edit] { return edit->toPlainText(); };
    } else {
        auto *button = new QPushButton(kCaption);
        control.widget.reset(button);
        control.main = [button] { return button->text(); };
    }
    control.widget->setToolTip(kTip);
    return control;
}

QString fieldMessage(const QString &field, const char *problem, const QString &type) {
    return field + QStringLiteral("\r\n") + QLatin1String(problem) +
           QStringLiteral("\r\nfor control type = ") + type;
}

QString notRecognized(const QString &field, const QString &type = QStringLiteral("commandbutton")) {
    return fieldMessage(field, "Field name is not recognized", type);
}

QString notSupported(const QString &field, const QString &type = QStringLiteral("commandbutton")) {
    return fieldMessage(field, "Field name is not supported", type);
}

} // namespace

// The tag markup against the built-in English texts, on real widgets.
class TestMarkup : public QObject {
    Q_OBJECT

private slots:
    void apply_data();
    void apply();
    void messageBoxStyleAndTitle();
    void tagIsReadFromTheControl();
};

void TestMarkup::apply_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("markup");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QStringList>("messages");

    const QString capture = QStringLiteral("Capture New...");
    const QString captureTip = QStringLiteral("Capture current instrument setting");
    const QStringList none;
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

    row("caption and tool tip") << "button"
                                << "Caption=203;ToolTipText=235" << capture << captureTip << none;
    row("bare id is the caption of a button") << "button"
                                              << "203" << capture << kTip << none;
    row("equals and id is the caption of a button") << "button"
                                                    << "=203" << capture << kTip << none;
    row("bare id is the text of a text box") << "textbox"
                                             << "203" << capture << kTip << none;
    row("equals and id is the text of a text box") << "textbox"
                                                   << "=203" << capture << kTip << none;
    row("bare id is the text of a multi-line text box") << "multiline"
                                                        << "203" << capture << kTip << none;
    row("text of a text box") << "textbox"
                              << "Text=203;ToolTipText=235" << capture << captureTip << none;
    row("upper case and outer spaces") << "button"
                                       << "  CAPTION=203  " << capture << kTip << none;
    row("empty entries are skipped") << "button"
                                     << ";;Caption=203;" << capture << kTip << none;
    row("field names ignore case")
        << "button"
        << "caption=203;TOOLTIPTEXT=235" << capture << captureTip << none;
    row("space after a semicolon belongs to the name")
        << "button"
        << "Caption=203; ToolTipText=235" << capture << kTip
        << QStringList{notRecognized(QStringLiteral(" tooltiptext"))};
    row("space before equals belongs to the name")
        << "button"
        << "Caption =203" << kCaption << kTip
        << QStringList{notRecognized(QStringLiteral("caption "))};
    row("only spaces are trimmed") << "button"
                                   << "\tCaption=203" << kCaption << kTip
                                   << QStringList{notRecognized(QStringLiteral("\tcaption"))};
    row("spaces after equals belong to the id")
        << "button"
        << "Caption=  203 ;ToolTipText= 235" << capture << captureTip << none;
    row("non-numeric id ends the control")
        << "button"
        << "Caption=abc;ToolTipText=235" << kCaption << kTip << none;
    row("id above 16 bits ends the control")
        << "button"
        << "Caption=32768;ToolTipText=235" << kCaption << kTip << none;
    row("id below 16 bits ends the control")
        << "button"
        << "Caption=-32769;ToolTipText=235" << kCaption << kTip << none;
    row("empty id ends the control") << "button"
                                     << "Caption=;ToolTipText=235" << kCaption << kTip << none;
    row("id with an inner space ends the control") << "button"
                                                   << "Caption=2 03" << kCaption << kTip << none;
    row("bad id keeps what came before")
        << "button"
        << "ToolTipText=235;Caption=abc" << kCaption << captureTip << none;
    row("split at the first equals") << "button"
                                     << "Caption=203=1;ToolTipText=235" << kCaption << kTip << none;
    row("unknown field") << "button"
                         << "Foo=203" << kCaption << kTip
                         << QStringList{notRecognized(QStringLiteral("foo"))};
    row("unknown field does not stop the rest")
        << "button"
        << "Foo=203;Caption=203" << capture << kTip
        << QStringList{notRecognized(QStringLiteral("foo"))};
    row("unknown field on a text box")
        << "textbox"
        << "Foo=203" << kCaption << kTip
        << QStringList{notRecognized(QStringLiteral("foo"), QStringLiteral("textbox"))};
    row("text box has no caption")
        << "textbox"
        << "Caption=203;ToolTipText=235" << kCaption << captureTip
        << QStringList{notSupported(QStringLiteral("caption"), QStringLiteral("textbox"))};
    row("button has no text") << "button"
                              << "Text=203;ToolTipText=235" << kCaption << captureTip
                              << QStringList{notSupported(QStringLiteral("text"))};
    row("missing id") << "button"
                      << "Caption=234"
                      << QStringLiteral("Failed to load string for resource id=234") << kTip
                      << none;
    row("negative id") << "button"
                       << "Caption=-1" << QStringLiteral("Failed to load string for resource id=-1")
                       << kTip << none;
    row("lowest id") << "button"
                     << "Caption=-32768"
                     << QStringLiteral("Failed to load string for resource id=-32768") << kTip
                     << none;
    row("half rounds to even downwards")
        << "button"
        << "Caption=202.5" << QStringLiteral("Instrument State") << kTip << none;
    row("half rounds to even upwards")
        << "button"
        << "Caption=203.5" << QStringLiteral("Restore") << kTip << none;
    row("below half rounds down") << "button"
                                  << "Caption=203.49" << capture << kTip << none;
    row("later entry wins") << "button"
                            << "Caption=203;caption=204" << QStringLiteral("Restore") << kTip
                            << none;
    row("empty markup") << "button"
                        << "" << kCaption << kTip << none;
    row("only separators") << "button"
                           << " ;; " << kCaption << kTip << none;
}

void TestMarkup::apply() {
    QFETCH(QString, kind);
    QFETCH(QString, markup);
    QFETCH(QString, main);
    QFETCH(QString, tip);
    QFETCH(QStringList, messages);

    const auto script = std::make_shared<ScriptedInteraction>();
    const ScopedInteraction scope(script);
    const Control control = makeControl(kind);
    CIxoResourcesAgent agent;
    agent.SetResourceValuesWithMarkupString(control.widget.get(), markup);

    QCOMPARE(control.main(), main);
    QCOMPARE(control.widget->toolTip(), tip);
    QStringList shown;
    for (const auto &call : script->messageBoxes())
        shown << call.text;
    QCOMPARE(shown, messages);
}

void TestMarkup::messageBoxStyleAndTitle() {
    const auto script = std::make_shared<ScriptedInteraction>();
    const ScopedInteraction scope(script);
    QPushButton button;
    CIxoResourcesAgent agent;
    agent.SetResourceValuesWithMarkupString(&button, QStringLiteral("Foo=203;Text=203"));
    QCOMPARE(script->messageBoxes().size(), std::size_t(2));
    for (const auto &call : script->messageBoxes()) {
        QCOMPARE(call.style, 16);
        QCOMPARE(call.title, QStringLiteral("CIxoResourcesAgent.SetResourceValueForField"));
    }
}

void TestMarkup::tagIsReadFromTheControl() {
    QPushButton button(kCaption);
    button.setProperty("Tag", QStringLiteral("Caption=204;ToolTipText=236"));
    CIxoResourcesAgent agent;
    agent.SetResourceValuesForObject(&button);
    QCOMPARE(button.text(), QStringLiteral("Restore"));
    QCOMPARE(button.toolTip(), QStringLiteral("Restore highlighted state to instrument"));
}

QTEST_MAIN(TestMarkup)
#include "tst_markup.moc"
