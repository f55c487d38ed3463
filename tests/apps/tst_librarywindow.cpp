#include "WindowTestSession.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/LibraryActions.h"
#include "desktop/MainWindow.h"
#include "library/DocumentStore.h"
#include "library/LibraryDocument.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/StateDocument.h"

#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace ixo;
using ixo::test::FakeSetup;

// A document of a setup library in the window: Save writes back only the changes, a state
// another station changed first is neither overwritten nor dropped from the window, and a state
// can be compared with its earlier versions.
class TestLibraryWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<test::WindowTestSession> m_session;
    std::shared_ptr<FakeSetup> m_setup;
    std::unique_ptr<MainWindow> m_window;
    QString m_address;

    std::unique_ptr<DocumentStore> otherStation() const {
        return DocumentStore::open(m_address, std::make_shared<CIxoResourcesDefault>());
    }
    QStringList saved() const {
        QStringList names;
        for (const auto &state : otherStation()->document().role().states())
            names << state->Name();
        return names;
    }
    qint64 rowOf(const QString &name) const {
        SetupLibrary library(LibraryAddress::parse(m_address));
        return library.idOf(QStringLiteral("SELECT id FROM states WHERE name = ?"), {name});
    }
    void save() const {
        for (QAction *action : m_window->menuBar()->findChildren<QAction *>())
            if (action->text() == QStringLiteral("&Save"))
                return action->trigger();
        QFAIL("no Save action");
    }

private slots:
    void initTestCase() {
        test::WindowTestSession::registerProgram(QStringLiteral("tst_librarywindow"));
    }

    void init() {
        m_session = std::make_unique<test::WindowTestSession>();
        m_setup = std::make_shared<FakeSetup>();
        m_window = std::make_unique<MainWindow>(
            m_setup, InstrumentSettings{[] { return QMap<QString, QString>(); },
                                        [](const QString &, const QString &) {}});
        const auto a = FakeSetup::state(QStringLiteral("A"), {}, m_setup->model, m_setup->version);
        a->setData(QStringLiteral(":FREQ 1E6;:POW -10"));
        const QString file = m_session->saveDocument(
            QStringLiteral("states.ixs"),
            {a, FakeSetup::state(QStringLiteral("B"), {}, m_setup->model, m_setup->version)});
        QVERIFY(m_window->openDocument(file));
        m_address = QStringLiteral("sqlite:%1?document=bench")
                        .arg(m_session->path(QStringLiteral("lab.db")));
        QVERIFY(m_window->library().saveTo(m_address));
    }

    void cleanup() {
        m_window.reset();
        m_session.reset();
    }

    void savesOnlyTheChanges() {
        QVERIFY(m_window->windowTitle().contains(m_address));
        QVERIFY(!m_window->document().isModified());
        const qint64 a = rowOf(QStringLiteral("A"));
        // A removal taken back puts the same state back, not a new one.
        m_window->selectStates({QStringLiteral("A")});
        m_window->control().removeBtn->click();
        m_window->undo();
        m_window->selectStates({QStringLiteral("B")});
        m_window->control().removeBtn->click();
        save();
        QVERIFY(!m_window->document().isModified());
        QCOMPARE(saved(), QStringList{"A"});
        QCOMPARE(rowOf(QStringLiteral("A")), a);
    }

    void conflictKeepsOrReloads() {
        const std::unique_ptr<DocumentStore> other = otherStation();
        other->document().role().rename(QStringLiteral("A"), QStringLiteral("A there"), {});
        other->save();
        m_window->document().model().role().rename(QStringLiteral("A"), QStringLiteral("A here"),
                                                   {});
        QCoreApplication::processEvents();
        // Nothing answered: the box is closed as Keep.
        save();
        QCOMPARE(m_session->user->modalTitles().size(), std::size_t(1));
        QVERIFY(m_window->document().isModified());
        QVERIFY(m_window->isWindowModified());
        QCOMPARE(saved(), (QStringList{"B", "A there"}));

        QString shown;
        m_session->user->answerModal([&shown](QDialog &dialog) {
            auto &box = static_cast<QMessageBox &>(dialog);
            shown = box.text();
            for (QAbstractButton *button : box.buttons())
                if (button->text() == QStringLiteral("Reload"))
                    button->click();
            return box.result();
        });
        save();
        QVERIFY2(shown.contains(QStringLiteral("was changed by")), qPrintable(shown));
        QVERIFY(!m_window->document().isModified());
        QCOMPARE(test::rowsOf(*m_window->control().stateListView), (QStringList{"B", "A there"}));
    }

    void comparesWithAnEarlierVersion() {
        const std::unique_ptr<DocumentStore> other = otherStation();
        BenchRole &role = other->document().role();
        role.rename(QStringLiteral("A"), QStringLiteral("Golden"), {});
        other->save();
        ItemStateInfo captured;
        captured.setModel(m_setup->model);
        captured.setVersion(m_setup->version);
        captured.setData(QStringLiteral(":FREQ 2E6;:POW -10"));
        other->library()->revise(role.name(), QStringLiteral("Golden"), captured);
        QVERIFY(m_window->openDocument(m_address));

        QMenu *edit = nullptr;
        for (QMenu *menu : m_window->menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly))
            if (menu->title() == QStringLiteral("&Edit"))
                edit = menu;
        QVERIFY(edit);
        auto *compare = m_window->menuBar()->findChild<QAction *>("compareWithVersion");
        QVERIFY(compare);
        emit edit->aboutToShow();
        QVERIFY(!compare->isEnabled());
        m_window->selectStates({QStringLiteral("Golden")});
        emit edit->aboutToShow();
        QVERIFY(compare->isEnabled());

        QStringList offered;
        m_session->user->answerModal([&offered](QDialog &dialog) {
            auto &versions = static_cast<QInputDialog &>(dialog);
            offered = versions.comboBoxItems();
            versions.setTextValue(offered.value(0));
            return int(QDialog::Accepted);
        });
        compare->trigger();
        QCOMPARE(offered.size(), 3);
        QVERIFY2(offered[0].startsWith(QStringLiteral("Version 1, captured: \"A\", ")),
                 qPrintable(offered[0]));
        QVERIFY2(offered[2].startsWith(QStringLiteral("Version 3, revised: \"Golden\", ")),
                 qPrintable(offered[2]));

        const QTableWidget &table = m_window->panel().table();
        QCOMPARE(table.columnCount(), 3);
        QCOMPARE(table.horizontalHeaderItem(1)->text(), QStringLiteral("Golden"));
        const QString version = table.horizontalHeaderItem(2)->text();
        QVERIFY2(version.startsWith(QStringLiteral("A (version 1, ")), qPrintable(version));
        QCOMPARE(table.item(0, 0)->text(), QStringLiteral(":FREQ"));
        QCOMPARE(table.item(0, 1)->text(), QStringLiteral("2E6"));
        QCOMPARE(table.item(0, 2)->text(), QStringLiteral("1E6"));
        QCOMPARE(table.item(0, 1)->background().color(), InstrumentPanel::kChanged);
        QVERIFY2(m_window->panel().summary().contains(QStringLiteral(": 1 changed, 0 only")),
                 qPrintable(m_window->panel().summary()));
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
