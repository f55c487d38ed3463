#include "desktop/RoleTabs.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "control/InstrumentState.h"
#include "desktop/BenchStrip.h"
#include "desktop/GuardedInstrument.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/RoleView.h"
#include "desktop/StateComparison.h"
#include "model/BenchRole.h"
#include "model/BenchStates.h"
#include "model/StateDocument.h"

#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace ixo {

RoleTabs::RoleTabs(SetupInterfaceRef instrument, InstrumentSettings settings,
                   SetupsDocument &document, QWidget *parent)
    : QWidget(parent)
    , m_document(document) {
    buildLayout();
    addView(std::move(instrument), std::move(settings));
}

RoleTabs::~RoleTabs() = default;

void RoleTabs::buildLayout() {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_benchStrip = new BenchStrip(
        m_document, [this](const QString &role) { return viewOf(role).relay(); }, this);
    m_benchStrip->hide();
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("roleTabs"));
    m_tabs->setExpanding(false);
    m_tabs->hide();
    connect(m_tabs, &QTabBar::currentChanged, this, &RoleTabs::showTab);
    m_stack = new QStackedWidget(this);
    layout->addWidget(m_benchStrip);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
}

RoleView &RoleTabs::currentView() const {
    return *m_views.at(std::size_t(std::max(0, m_tabs->currentIndex())));
}

RoleView &RoleTabs::viewOf(const QString &role) const {
    for (RoleView *view : m_views) {
        if (view->role().compare(role, Qt::CaseInsensitive) == 0)
            return *view;
    }
    throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixo-setups"),
                          tr("No tab shows the %1").arg(role));
}

RoleView &RoleTabs::addView(SetupInterfaceRef instrument, InstrumentSettings settings) {
    auto *view = new RoleView(
        std::move(instrument), std::move(settings),
        [this](const QString &name) -> BenchRole & { return m_document.model().role(name); },
        m_stack);
    m_views.push_back(view);
    m_stack->addWidget(view);
    {
        const QSignalBlocker quiet(m_tabs);
        m_tabs->addTab(view->role());
    }
    if (m_views.size() > 1)
        view->restoreState(m_views.front()->saveState());
    configureConnection(*view);
    forwardSignals(*view);
    return *view;
}

void RoleTabs::forwardSignals(RoleView &view) {
    connect(&view, &RoleView::switched, this, [this, &view] {
        const auto found = std::find(m_views.begin(), m_views.end(), &view);
        emit roleSwitched(int(found - m_views.begin()));
    });
    connect(&view.connection(), &InstrumentConnection::statusChanged, this,
            [this, &view](const QString &message) {
                if (&view == &currentView())
                    emit currentStatusChanged(message);
            });
    connect(view.instrument().get(), &GuardedInstrument::kept, this, &RoleTabs::kept);
    connect(view.instrument().get(), &GuardedInstrument::restored, this,
            [this, &view](const QString &state) {
                const auto &relay = view.relay();
                emit restored(
                    view.role(), state,
                    QStringLiteral("%1 (%2 %3)")
                        .arg(view.connection().resource(), relay->Model(), relay->Version()));
            });
    connect(&view.comparison(), &StateComparison::comparing, this, &RoleTabs::comparing);
}

void RoleTabs::dropLastView() {
    const std::unique_ptr<RoleView> view(m_views.back());
    m_views.pop_back();
    m_stack->removeWidget(view.get());
    m_tabs->removeTab(int(m_views.size()));
}

void RoleTabs::setViewCount(std::size_t count) {
    while (m_views.size() > count)
        dropLastView();
    while (m_views.size() < count)
        addView(nullptr, {});
}

std::vector<SetupsDocument::Binding> RoleTabs::bindRoles(const StateDocument &document) {
    const QSignalBlocker quiet(m_tabs);
    const std::vector<BenchRole> &roles = document.roles();
    setViewCount(roles.size());
    std::vector<SetupsDocument::Binding> bindings;
    for (std::size_t index = 0; index < roles.size(); ++index)
        bindings.push_back(bindRole(index, roles[index]));
    m_tabs->setCurrentIndex(0);
    m_stack->setCurrentIndex(0);
    m_tabs->setVisible(roles.size() > 1);
    m_benchStrip->setVisible(roles.size() > 1);
    return bindings;
}

SetupsDocument::Binding RoleTabs::bindRole(std::size_t index, const BenchRole &role) {
    RoleView &view = *m_views[index];
    view.setRole(role);
    m_tabs->setTabText(int(index), role.name());
    m_tabs->setTabToolTip(int(index), BenchStates::describe(role));
    InstrumentRelay *relay = view.relay().get();
    return {&view.control(), view.instrument(), [relay] { return relay->isConnected(); }};
}

void RoleTabs::configureConnection(RoleView &view) {
    if (m_opener)
        view.connection().setOpener([this, &view](const QString &resource) {
            return m_opener(resource, view.profileFor(resource));
        });
    if (m_profileDescriber)
        view.connection().setProfileDescriber(m_profileDescriber);
}

void RoleTabs::setOpener(Opener opener) {
    m_opener = std::move(opener);
    for (RoleView *view : m_views)
        configureConnection(*view);
}

void RoleTabs::setProfileDescriber(ConnectDialog::ProfileDescriber describer) {
    m_profileDescriber = std::move(describer);
    for (RoleView *view : m_views)
        configureConnection(*view);
}

QStringList RoleTabs::connectRoles() {
    QStringList failures;
    for (RoleView *view : m_views) {
        try {
            view->connectRole();
        } catch (const AutomationError &error) {
            failures << tr("%1 (%2): %3").arg(view->role(), view->resource(), error.description());
        }
    }
    return failures;
}

void RoleTabs::keepCurrentResource() {
    RoleView &view = currentView();
    BenchRole &role = m_document.model().role(view.role());
    const QString resource = view.connection().resource();
    role.setProfile(view.profileFor(resource));
    role.setResource(resource);
    view.setRole(role);
    m_tabs->setTabToolTip(m_tabs->currentIndex(), BenchStates::describe(role));
}

QStringList RoleTabs::followLanguage() {
    const std::int32_t countryCode = m_views.front()->control().CountryCode();
    QStringList errors;
    for (std::size_t index = 1; index < m_views.size(); ++index) {
        try {
            m_views[index]->control().LoadResources(countryCode);
        } catch (const AutomationError &error) {
            errors << error.description();
        }
    }
    return errors;
}

void RoleTabs::restoreState(const QByteArray &state) {
    for (RoleView *view : m_views)
        view->restoreState(state);
}

QByteArray RoleTabs::saveState() const {
    return m_views.front()->saveState();
}

void RoleTabs::showTab(int index) {
    m_stack->setCurrentIndex(index);
    emit currentChanged(index);
}

} // namespace ixo
