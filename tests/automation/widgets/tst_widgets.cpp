#include "AutomationAssert.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/ListView.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/QtInteraction.h"
#include "automation/widgets/TypeName.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

using namespace ixo;
using test::errorOf;
namespace Style = MessageBoxStyle;
namespace Result = MessageBoxResult;

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

// A list view on a screen of the given resolution.
class DpiListView : public ListView {
    Q_OBJECT

public:
    explicit DpiListView(int dpi)
        : m_dpi(dpi) {}

protected:
    int metric(PaintDeviceMetric metric) const override {
        if (metric == PdmDpiX || metric == PdmDpiY)
            return m_dpi;
        return ListView::metric(metric);
    }

private:
    int m_dpi;
};

} // namespace ixo::sample

namespace {

using Make = std::function<QWidget *()>;

template <typename W> Make make() {
    return [] { return new W; };
}

template <typename W> void row(const char *type, const char *member, const char *qtProperty) {
    QTest::newRow(W::staticMetaObject.className())
        << make<W>() << QString::fromLatin1(type) << QString::fromLatin1(member)
        << QByteArray(qtProperty);
}

} // namespace

class TestWidgets : public QObject {
    Q_OBJECT

private slots:
    void typeAndMappedMember_data() {
        QTest::addColumn<Make>("make");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QByteArray>("qtProperty");
        row<QPushButton>("CommandButton", "Caption", "text");
        row<QCheckBox>("CheckBox", "Caption", "text");
        row<QLabel>("Label", "caption", "text");
        row<QGroupBox>("Frame", "Caption", "title");
        row<QLineEdit>("TextBox", "Text", "text");
        row<QTextEdit>("TextBox", "Text", "plainText");
        row<QPlainTextEdit>("TextBox", "TEXT", "plainText");
        row<ListView>("ListView", "ToolTipText", "toolTip");
        row<sample::frmEditSample>("frmEditSample", "Caption", "windowTitle");
        row<sample::OwnCaptionButton>("CommandButton", "Caption", "Caption");
        row<QWidget>("QWidget", "Enabled", "enabled");
    }

    void typeAndMappedMember() {
        QFETCH(Make, make);
        QFETCH(QString, member);
        QFETCH(QByteArray, qtProperty);
        const std::unique_ptr<QWidget> widget(make());
        QTEST(TypeName::of(*widget), "type");
        // Enabled is true by default, so false shows the write.
        const QVariant value =
            qtProperty == "enabled" ? QVariant(false) : QVariant(QStringLiteral("new text"));
        MemberAccess::set(widget.get(), member, value);
        QCOMPARE(widget->property(qtProperty), value);
        QCOMPARE(MemberAccess::get(widget.get(), member), value);
    }

    void missingMember_data() {
        QTest::addColumn<Make>("make");
        QTest::addColumn<bool>("child");
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("number");
        const int missing = ErrorNumber::MemberNotSupported;
        QTest::newRow("text box caption") << make<QLineEdit>() << false << "Caption" << missing;
        QTest::newRow("button text") << make<QPushButton>() << false << "Text" << missing;
        QTest::newRow("child caption") << make<QWidget>() << true << "Caption" << missing;
        QTest::newRow("unknown") << make<QPushButton>() << false << "Foo" << missing;
        QTest::newRow("no object") << Make() << false << "Caption" << ErrorNumber::ObjectNotSet;
    }

    void missingMember() {
        QFETCH(Make, make);
        QFETCH(bool, child);
        QFETCH(QString, member);
        QFETCH(int, number);
        QWidget parent;
        QWidget *widget = make ? make() : nullptr;
        const std::unique_ptr<QWidget> owner(child ? nullptr : widget);
        if (child)
            widget->setParent(&parent);
        QCOMPARE(errorOf([&] { MemberAccess::set(widget, member, QStringLiteral("x")); }), number);
        QCOMPARE(errorOf([&] { MemberAccess::get(widget, member); }), number);
    }

    void readOnlyMemberAndTag() {
        sample::OwnCaptionButton button;
        QCOMPARE(errorOf([&] { MemberAccess::set(&button, QStringLiteral("Fixed"), 2); }),
                 ErrorNumber::PropertyReadOnly);
        // Every control has a Tag, empty until one is given; other objects have none.
        QCOMPARE(MemberAccess::get(&button, QStringLiteral("Tag")), QVariant(QString()));
        MemberAccess::set(&button, QStringLiteral("Tag"), QStringLiteral("Caption=203"));
        QCOMPARE(button.property("Tag").toString(), QStringLiteral("Caption=203"));
        QObject plain;
        QCOMPARE(errorOf([&] { MemberAccess::get(&plain, QStringLiteral("Tag")); }),
                 ErrorNumber::MemberNotSupported);
    }

    void controlsOfAForm() {
        QDialog form;
        auto named = [](auto *widget, const char *name) {
            widget->setObjectName(QLatin1String(name));
            return widget;
        };
        named(new QLabel(&form), "label");
        QWidget *frame = named(new QGroupBox(&form), "frame");
        named(new QPushButton(frame), "inFrame");
        named(new QLineEdit(named(new QGroupBox(frame), "innerFrame")), "inInner");
        QWidget *page = named(new QWidget, "page");
        named(new QTabWidget(&form), "tabs")->addTab(page, QStringLiteral("Page"));
        named(new QCheckBox(page), "onPage");
        named(new ListView(&form), "list")->ColumnHeaders()->Add(QStringLiteral("a"));
        named(new QDialog(&form), "otherWindow");

        const auto controlsOf = [](QObject *parent) {
            QStringList names;
            for (QObject *control :
                 MemberAccess::get(parent, QStringLiteral("Controls")).value<QObjectList>())
                names << control->objectName();
            return names;
        };
        QCOMPARE(controlsOf(&form), (QStringList{"label", "frame", "inFrame", "innerFrame",
                                                 "inInner", "tabs", "page", "onPage", "list"}));
        // A frame's controls are those inside it, a frame within it and that frame's own.
        QCOMPARE(controlsOf(frame), (QStringList{"inFrame", "innerFrame", "inInner"}));
        QCOMPARE(errorOf([&] { MemberAccess::set(frame, QStringLiteral("Controls"), 1); }),
                 ErrorNumber::MemberNotSupported);
    }

    void widthsInTwipsAtAnyResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels"); // of the view's width
        QTest::newRow("96 dpi") << 96 << 265;
        QTest::newRow("120 dpi") << 120 << 331;
        QTest::newRow("144 dpi") << 144 << 398;
    }

    void widthsInTwipsAtAnyResolution() {
        QFETCH(int, dpi);
        sample::DpiListView view(dpi);
        QCOMPARE(view.logicalDpiX(), dpi);
        view.ColumnHeaders()->Add(QStringLiteral("a"));
        view.ColumnHeaders()->Add(QStringLiteral("b"));
        // Headers count from 1.
        QCOMPARE(view.ColumnHeaders()->Item(1)->Text(), QStringLiteral("a"));
        QCOMPARE(errorOf([&] { view.ColumnHeaders()->Item(0); }), ErrorNumber::SubscriptOutOfRange);
        QCOMPARE(errorOf([&] { view.ColumnHeaders()->Item(3); }), ErrorNumber::SubscriptOutOfRange);
        view.place(120, 240, 3975, 2415);
        QTEST(view.width(), "pixels");
        QCOMPARE(view.Width(), 3975.0f);
        view.ColumnHeaders()->Item(1)->setWidth(view.Width() * 33 / 100);
        view.ColumnHeaders()->Item(2)->setWidth(view.Width() * 67 / 100);
        QCOMPARE(view.ColumnHeaders()->Item(1)->Width(), 1311.75f);
        QCOMPARE(view.ColumnHeaders()->Item(2)->Width(), 2663.25f);
        QCOMPARE(view.columnWidth(0), int(std::lround(1311.75 * dpi / 1440)));
        // Resized by other means, the view measures its pixels.
        view.resize(dpi, view.height());
        QCOMPARE(view.Width(), 1440.0f);
    }

    void rowsOfEqualHeight_data() {
        QTest::addColumn<int>("iconSize");
        QTest::newRow("16 pixels") << 16;
        QTest::newRow("32 pixels") << 32;
    }

    void rowsOfEqualHeight() {
        QFETCH(int, iconSize);
        ListView view;
        view.ColumnHeaders()->Add(QStringLiteral("Name"));
        view.ColumnHeaders()->Add(QStringLiteral("Description"));
        QPixmap red(iconSize, iconSize);
        red.fill(Qt::red);
        view.setSmallIcons({QIcon(red), QIcon(red)});
        view.setIconSize(QSize(iconSize, iconSize));
        for (const int icon : {0, 1, 0, 2, 0}) {
            const int row = view.addRow(QStringList{QStringLiteral("row"), QStringLiteral("d")});
            view.setSmallIcon(row, icon);
        }
        view.setSmallIcon(2, 0); // a marker taken away
        view.resize(300, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto rectOf = [&](int row) {
            return view.visualItemRect(view.topLevelItem(row - 1));
        };
        QVERIFY(rectOf(4).height() >= iconSize);
        for (int row = 1; row <= view.rowCount(); ++row)
            QCOMPARE(rectOf(row).height(), rectOf(4).height());
        QCOMPARE(view.smallIcon(1), 0);
        QCOMPARE(view.smallIcon(4), 2);
    }

    void nameFilters() {
        const auto filters = [](const char *filter) {
            return QtInteraction::nameFilters(QString::fromLatin1(filter));
        };
        QCOMPARE(filters("Tessaview State Files (*.sta)|*.sta"),
                 QStringList{"Tessaview State Files (*.sta)"});
        QCOMPARE(filters("States|*.sta;*.set|Other"), QStringList{"States (*.sta *.set)"});
        QCOMPARE(filters("A (*.a)|*.a|B|*.b"), (QStringList{"A (*.a)", "B (*.b)"}));
        QCOMPARE(filters(""), QStringList{});
    }

    void qtMessageBox_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        const int enter = Qt::Key_Return, escape = Qt::Key_Escape;
        QTest::newRow("OK, Enter") << Style::Critical << enter << Result::Ok;
        QTest::newRow("second default")
            << (Style::YesNo | Style::DefaultButton2) << enter << Result::No;
        QTest::newRow("OK/Cancel, Escape") << Style::OkCancel << escape << Result::Cancel;
        QTest::newRow("retry/cancel")
            << (Style::RetryCancel | Style::Exclamation) << enter << Result::Retry;
    }

    void qtMessageBox() {
        QFETCH(int, key);
        QTimer::singleShot(0, [key] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                QTest::keyClick(box, static_cast<Qt::Key>(key));
        });
        QFETCH(int, style);
        QTEST(QtInteraction().messageBox(QStringLiteral("text"), style, QStringLiteral("t")),
              "result");
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
