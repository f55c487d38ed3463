#include "desktop/RoleView.h"

#include "automation/widgets/ListView.h"
#include "control/InstrumentState.h"
#include "desktop/GuardedInstrument.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/InstrumentPanel.h"
#include "desktop/InstrumentRelay.h"
#include "desktop/StateComparison.h"
#include "model/BenchRole.h"

#include <QVBoxLayout>

namespace ixo {

RoleView::RoleView(SetupInterfaceRef instrument, InstrumentSettings settings, RoleOf roleOf,
                   QWidget *parent)
    : QSplitter(Qt::Horizontal, parent)
    , m_connection(std::make_unique<InstrumentConnection>(std::move(instrument)))
    , m_role(BenchRole::kDefaultName) {
    setObjectName(QStringLiteral("splitter"));
    relay()->setWindow(this);
    m_instrument = std::make_shared<GuardedInstrument>(
        relay(), [this, roleOf = std::move(roleOf)]() -> BenchRole & { return roleOf(m_role); },
        [this] { return selectedState(); });
    connect(m_connection.get(), &InstrumentConnection::switched, this,
            &RoleView::instrumentSwitched);
    buildLayout(std::move(settings));
    m_comparison = std::make_unique<StateComparison>(*m_control, *m_panel);
}

RoleView::~RoleView() = default;

void RoleView::buildLayout(InstrumentSettings settings) {
    auto *holder = new QWidget(this);
    auto *holderLayout = new QVBoxLayout(holder);
    m_control = new InstrumentState(holder);
    holderLayout->addWidget(m_control);
    holderLayout->addStretch(1);
    holder->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_panel = new InstrumentPanel(*relay(), std::move(settings), this);
    addWidget(holder);
    addWidget(m_panel);
    setCollapsible(0, false);
    setStretchFactor(1, 1);
}

const std::shared_ptr<InstrumentRelay> &RoleView::relay() const {
    return m_connection->relay();
}

void RoleView::setRole(const BenchRole &role) {
    m_role = role.name();
    m_resource = role.resource();
    m_profile = role.profile();
}

QString RoleView::profileFor(const QString &resource) const {
    return resource.trimmed() == m_resource.trimmed() ? m_profile : QString();
}

void RoleView::connectRole() {
    if (m_resource.isEmpty() ||
        (m_connection->isConnected() && m_connection->resource() == m_resource.trimmed()))
        return;
    m_connection->connectTo(m_resource);
}

void RoleView::instrumentSwitched(const InstrumentSettings &settings) {
    m_panel->setSettings(settings);
    m_comparison->clear();
    emit switched();
    m_panel->refresh();
}

QString RoleView::selectedState() const {
    const ListView &list = *m_control->stateListView;
    const int row = list.selectedRow();
    return row > 0 ? list.rowText(row) : QString();
}

} // namespace ixo
