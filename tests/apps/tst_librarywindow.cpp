#include "WindowTestSession.h"
#include "desktop/LibraryActions.h"
#include "desktop/MainWindow.h"
#include "library/DocumentStore.h"
#include "library/SetupLibrary.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/StateDocument.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace ixo;
using ixo::test::FakeSetup;

// A document of a setup library in the window: Save writes back only the changes, and a state
// another station changed first is neither overwritten nor dropped from the window.
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
        const QString file = m_session->saveDocument(
            QStringLiteral("states.ixs"),
            {FakeSetup::state(QStringLiteral("A"), {}, m_setup->model, m_setup->version),
             FakeSetup::state(QStringLiteral("B"), {}, m_setup->model, m_setup->version)});
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
};

QTEST_MAIN(TestLibraryWindow)
#include "tst_librarywindow.moc"
