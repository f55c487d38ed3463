#include "desktop/StateComparison.h"

#include "automation/widgets/ListView.h"
#include "control/InstrumentState.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"

#include <QMouseEvent>

namespace ixo {

StateComparison::StateComparison(InstrumentState &control, InstrumentPanel &panel, QObject *parent)
    : QObject(parent)
    , m_control(control)
    , m_panel(panel) {
    connect(&control, &InstrumentState::SelectionChanged, this, &StateComparison::selected);
    control.stateListView->viewport()->installEventFilter(this);
}

void StateComparison::select(const QStringList &names) {
    ListView &list = *m_control.stateListView;
    for (int row = 1; !names.isEmpty() && row <= list.rowCount(); ++row) {
        if (list.rowText(row).compare(names[0], Qt::CaseInsensitive) == 0)
            list.setSelectedRow(row);
    }
    if (names.size() > 1 && !m_selected.isEmpty())
        compareWith(names[1]);
}

void StateComparison::clear() {
    m_selected.clear();
    m_comparedWith.clear();
    m_other.reset();
    show();
}

void StateComparison::compareWith(const InstrumentPanel::Compared &other) {
    if (m_selected.isEmpty())
        return;
    m_comparedWith.clear();
    m_other = other;
    show();
    emit comparing(tr("Comparing \"%1\" with \"%2\"").arg(m_selected, other.name));
}

void StateComparison::selected(const QString &name) {
    m_selected = name;
    m_comparedWith.clear();
    m_other.reset();
    show();
}

void StateComparison::compareWith(const QString &name) {
    m_comparedWith = name;
    m_other.reset();
    show();
}

void StateComparison::show() {
    QList<InstrumentPanel::Compared> compared;
    const std::shared_ptr<StateInfo> list = m_control.stateInfo();
    for (const QString &name : {m_selected, m_comparedWith}) {
        const auto state = name.isEmpty() || !list ? nullptr : list->find(name);
        if (state && state->data().isValid())
            compared.push_back({name, state->data()});
    }
    if (m_other && !compared.isEmpty())
        compared.push_back(*m_other);
    m_panel.compare(compared);
}

bool StateComparison::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::MouseButtonPress)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
        return false;
    const QTreeWidgetItem *item =
        m_control.stateListView->QTreeWidget::itemAt(mouse->position().toPoint());
    if (!item || m_selected.isEmpty() || item->text(0) == m_selected)
        return false;
    compareWith(item->text(0));
    emit comparing(tr("Comparing \"%1\" with \"%2\"").arg(m_selected, m_comparedWith));
    return true;
}

} // namespace ixo
