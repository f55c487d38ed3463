#include "desktop/ConnectDialog.h"

#include "automation/AutomationError.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ixo {

namespace {

enum Column { kResourceColumn, kIdentityColumn };

QString describe(const InstrumentProfile &profile) {
    QString text = profile.description.isEmpty()
                       ? profile.name
                       : ConnectDialog::tr("%1: %2").arg(profile.name, profile.description);
    if (!profile.verified)
        text += ConnectDialog::tr(" (not verified on hardware)");
    return text;
}

} // namespace

ConnectDialog::ProfileDescriber
ConnectDialog::describeProfiles(std::shared_ptr<const InstrumentProfiles> profiles,
                                const QString &forced) {
    return [profiles = std::move(profiles), forced](const QString &, const QString &identity) {
        if (const InstrumentProfile *named = forced.isEmpty() ? nullptr : profiles->find(forced))
            return describe(*named);
        const QStringList fields = identity.split(QLatin1Char(','));
        if (fields.size() < 2)
            return QString();
        return describe(profiles->matching(fields[0].trimmed(), fields[1].trimmed()));
    };
}

ConnectDialog::ConnectDialog(const QStringList &recent,
                             const InstrumentDiscovery::Options &discovery,
                             ProfileDescriber profile, Opener opener, QWidget *parent)
    : QDialog(parent)
    , m_discoveryOptions(discovery)
    , m_profile(std::move(profile))
    , m_opener(std::move(opener))
    , m_discovery(new InstrumentDiscovery(this))
    , m_nextSearch(new QTimer(this)) {
    setWindowTitle(tr("Connect to an instrument"));
    buildLayout(recent);
    connect(m_discovery, &InstrumentDiscovery::found, this, &ConnectDialog::addFound);
    connect(m_discovery, &InstrumentDiscovery::finished, this, &ConnectDialog::searchEnded);
    m_nextSearch->setSingleShot(true);
    m_nextSearch->setInterval(kRefreshPauseMs);
    connect(m_nextSearch, &QTimer::timeout, this, &ConnectDialog::refresh);
    connect(&m_testWatcher, &QFutureWatcher<TestOutcome>::finished, this,
            &ConnectDialog::showTestOutcome);
    setResource(recent.value(0));
    refresh();
}

ConnectDialog::~ConnectDialog() {
    m_discovery->stop();
    // The test's thread ends soon and finds nobody to tell.
    if (m_testing)
        m_testing->cancel();
}

void ConnectDialog::buildLayout(const QStringList &recent) {
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("discoveredList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({tr("Resource"), tr("Identity (*IDN?)")});
    m_list->header()->setSectionResizeMode(kResourceColumn, QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { discoveredChosen(item); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        discoveredChosen(item);
        accept();
    });
    m_searchState = new QLabel(this);
    m_searchState->setObjectName(QStringLiteral("searchState"));
    m_refresh = new QPushButton(tr("&Refresh"), this);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_refresh->setAutoDefault(false);
    connect(m_refresh, &QPushButton::clicked, this, &ConnectDialog::refresh);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_searchState, 1);
    searchRow->addWidget(m_refresh);

    m_resource = new QLineEdit(this);
    m_resource->setObjectName(QStringLiteral("resourceEdit"));
    m_resource->setPlaceholderText(tr("such as TCPIP::192.168.1.20::INSTR or SIM"));
    m_resource->setClearButtonEnabled(true);
    auto *completer = new QCompleter(recent, m_resource);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    m_resource->setCompleter(completer);
    connect(m_resource, &QLineEdit::textChanged, this, &ConnectDialog::resourceEdited);
    m_test = new QPushButton(tr("&Test"), this);
    m_test->setObjectName(QStringLiteral("testButton"));
    m_test->setAutoDefault(false);
    connect(m_test, &QPushButton::clicked, this, &ConnectDialog::test);
    auto *resourceRow = new QHBoxLayout;
    resourceRow->addWidget(m_resource, 1);
    resourceRow->addWidget(m_test);
    m_profileLabel = new QLabel(this);
    m_profileLabel->setObjectName(QStringLiteral("profileLabel"));
    m_profileLabel->setWordWrap(true);
    m_testResult = new QLabel(this);
    m_testResult->setObjectName(QStringLiteral("testResult"));
    m_testResult->setWordWrap(true);
    m_testResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *form = new QFormLayout;
    form->addRow(tr("Resource:"), resourceRow);
    form->addRow(tr("Profile:"), m_profileLabel);
    form->addRow(tr("Test:"), m_testResult);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(tr("&Connect"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Instruments found on the network and the USB bus:"), this));
    layout->addWidget(m_list, 1);
    layout->addLayout(searchRow);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(640, 420);
}

QString ConnectDialog::resource() const {
    return m_resource->text().trimmed();
}

void ConnectDialog::setResource(const QString &resource) {
    m_resource->setText(resource);
    resourceEdited();
}

QString ConnectDialog::profileText() const {
    return m_profileLabel->text();
}

QString ConnectDialog::testResult() const {
    return m_testResult->text();
}

bool ConnectDialog::isTesting() const {
    return m_testWatcher.isRunning();
}

QStringList ConnectDialog::discoveredResources() const {
    QStringList resources;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        resources << m_list->topLevelItem(row)->text(kResourceColumn);
    return resources;
}

void ConnectDialog::refresh() {
    m_nextSearch->stop();
    m_searchState->setText(tr("Searching..."));
    m_discovery->start(m_discoveryOptions);
}

void ConnectDialog::addFound(const DiscoveredInstrument &instrument) {
    const QString identity =
        instrument.identity.isEmpty() ? instrument.problem : instrument.identity;
    const QList<QTreeWidgetItem *> known =
        m_list->findItems(instrument.resource, Qt::MatchFixedString, kResourceColumn);
    QTreeWidgetItem *item = known.isEmpty() ? new QTreeWidgetItem(m_list) : known.front();
    item->setText(kResourceColumn, instrument.resource);
    item->setText(kIdentityColumn, identity);
    item->setData(kIdentityColumn, Qt::UserRole, instrument.identity);
    item->setToolTip(kIdentityColumn, identity);
    if (instrument.resource.compare(resource(), Qt::CaseInsensitive) == 0)
        updateProfile();
}

// Instruments the last search did not find again are gone; the next one starts after a pause.
void ConnectDialog::searchEnded() {
    QStringList found;
    for (const DiscoveredInstrument &instrument : m_discovery->instruments())
        found << instrument.resource.toUpper();
    for (int row = m_list->topLevelItemCount() - 1; row >= 0; --row)
        if (!found.contains(m_list->topLevelItem(row)->text(kResourceColumn).toUpper()))
            delete m_list->takeTopLevelItem(row);
    m_searchState->setText(m_list->topLevelItemCount() == 0
                               ? tr("No instruments found; searching again shortly.")
                               : tr("Instruments found: %1").arg(m_list->topLevelItemCount()));
    m_nextSearch->start();
}

void ConnectDialog::discoveredChosen(QTreeWidgetItem *item) {
    if (item)
        setResource(item->text(kResourceColumn));
}

void ConnectDialog::resourceEdited() {
    m_ok->setEnabled(!resource().isEmpty());
    m_test->setEnabled(!resource().isEmpty() && !isTesting());
    updateProfile();
}

QString ConnectDialog::knownIdentity(const QString &resource) const {
    if (!m_testedIdentity.isEmpty() && m_testedResource.compare(resource, Qt::CaseInsensitive) == 0)
        return m_testedIdentity;
    const QList<QTreeWidgetItem *> known =
        m_list->findItems(resource, Qt::MatchFixedString, kResourceColumn);
    return known.isEmpty() ? QString()
                           : known.front()->data(kIdentityColumn, Qt::UserRole).toString();
}

void ConnectDialog::updateProfile() {
    const QString chosen = m_profile ? m_profile(resource(), knownIdentity(resource())) : QString();
    m_profileLabel->setText(chosen.isEmpty() ? tr("chosen on connect") : chosen);
}

void ConnectDialog::test() {
    const QString resource = this->resource();
    if (resource.isEmpty() || isTesting())
        return;
    try {
        m_testing = m_opener(resource);
    } catch (const AutomationError &error) {
        m_testResult->setText(tr("No answer: %1").arg(error.description()));
        emit tested(false, error.description());
        return;
    }
    m_testedResource = resource;
    m_testedIdentity.clear();
    m_test->setEnabled(false);
    m_testResult->setText(tr("Asking %1 for *IDN?...").arg(resource));
    auto promise = std::make_shared<QPromise<TestOutcome>>();
    m_testWatcher.setFuture(promise->future());
    promise->start();
    // The connection is made, used and closed on the test's thread.
    QThreadPool::globalInstance()->start([promise, instrument = m_testing] {
        TestOutcome outcome;
        try {
            outcome.text = QString::fromUtf8(instrument->query(QStringLiteral("*IDN?"))).trimmed();
            outcome.answered = true;
        } catch (const AutomationError &error) {
            outcome.text = error.description();
        }
        instrument->disconnect();
        promise->addResult(outcome);
        promise->finish();
    });
}

void ConnectDialog::showTestOutcome() {
    m_testing.reset();
    const QList<TestOutcome> results = m_testWatcher.future().results();
    const TestOutcome outcome = results.value(0);
    if (outcome.answered) {
        m_testedIdentity = outcome.text;
        m_testResult->setText(tr("Answered: %1").arg(outcome.text));
    } else {
        m_testResult->setText(tr("No answer: %1").arg(outcome.text));
    }
    m_test->setEnabled(!resource().isEmpty());
    updateProfile();
    emit tested(outcome.answered, outcome.text);
}

} // namespace ixo
