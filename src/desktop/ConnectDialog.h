#pragma once

#include "automation/Export.h"
#include "instruments/discovery/InstrumentDiscovery.h"

#include <QDialog>
#include <QFutureWatcher>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace ixo {

class InstrumentProfiles;
class ScpiInstrument;

// Chooses the instrument to connect to: the instruments discovery finds (searched again in
// the background while the dialog is open), a resource string typed with completion from
// the ones used before, the profile the connection will use, and a Test that asks *IDN? on a
// thread of its own so that a slow or absent instrument never stops the dialog.
class IXO_EXPORT ConnectDialog : public QDialog {
    Q_OBJECT

public:
    // The profile a connection to resource would use; identity is the *IDN? answer, empty
    // while it is not known.
    using ProfileDescriber =
        std::function<QString(const QString &resource, const QString &identity)>;
    // Opens the instrument a resource names; raises the resource string's errors.
    using Opener = std::function<std::shared_ptr<ScpiInstrument>(const QString &resource)>;

    // The profile forced by name, else the one of profiles matching the *IDN? answer; empty
    // (chosen on connect) while there is no answer.
    static ProfileDescriber describeProfiles(std::shared_ptr<const InstrumentProfiles> profiles,
                                             const QString &forced);

    // Pause between two background searches.
    static constexpr int kRefreshPauseMs = 5000;

    ConnectDialog(const QStringList &recent, const InstrumentDiscovery::Options &discovery,
                  ProfileDescriber profile, Opener opener, QWidget *parent = nullptr);
    ~ConnectDialog() override;

    QString resource() const;
    void setResource(const QString &resource);
    QString profileText() const;
    QString testResult() const;
    bool isTesting() const;
    QStringList discoveredResources() const;

    QLineEdit &resourceEdit() const { return *m_resource; }
    QTreeWidget &discoveredList() const { return *m_list; }
    QPushButton &testButton() const { return *m_test; }
    QPushButton &refreshButton() const { return *m_refresh; }
    InstrumentDiscovery &discovery() const { return *m_discovery; }

public slots:
    void refresh();
    void test();

signals:
    // A Test has ended; text is the *IDN? answer or why there was none.
    void tested(bool answered, const QString &text);

private:
    struct TestOutcome {
        bool answered = false;
        QString text;
    };

    void buildLayout(const QStringList &recent);
    void addFound(const DiscoveredInstrument &instrument);
    void searchEnded();
    void discoveredChosen(QTreeWidgetItem *item);
    void resourceEdited();
    void showTestOutcome();
    void updateProfile();
    QString knownIdentity(const QString &resource) const;

    InstrumentDiscovery::Options m_discoveryOptions;
    ProfileDescriber m_profile;
    Opener m_opener;
    InstrumentDiscovery *m_discovery;
    QTimer *m_nextSearch;
    QTreeWidget *m_list = nullptr;
    QLabel *m_searchState = nullptr;
    QPushButton *m_refresh = nullptr;
    QLineEdit *m_resource = nullptr;
    QLabel *m_profileLabel = nullptr;
    QPushButton *m_test = nullptr;
    QLabel *m_testResult = nullptr;
    QPushButton *m_ok = nullptr;
    QFutureWatcher<TestOutcome> m_testWatcher;
    // The instrument a Test is talking to, so that closing the dialog can end the exchange.
    std::shared_ptr<ScpiInstrument> m_testing;
    QString m_testedResource;
    QString m_testedIdentity;
};

} // namespace ixo
