#pragma once

#include "automation/Export.h"
#include "desktop/InstrumentPanel.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace ixo {

class InstrumentState;

// Shows in the settings panel what the user highlights in the control's list: the highlighted
// saved state against the instrument's setup, or, after Ctrl+click on a second row, the two
// states against each other (the first stays highlighted), or the highlighted state against a
// setup handed to it.
class IXO_EXPORT StateComparison : public QObject {
    Q_OBJECT

public:
    StateComparison(InstrumentState &control, InstrumentPanel &panel, QObject *parent = nullptr);

    // Highlights the first name's row; a second name is compared with it.
    void select(const QStringList &names);
    // Compares nothing until a row is highlighted again.
    void clear();
    // Empty while no row is highlighted.
    const QString &highlighted() const { return m_selected; }
    // A setup that is not a row of the list, such as an earlier version of the highlighted
    // state, shown beside it until another row is highlighted.
    void compareWith(const InstrumentPanel::Compared &other);

signals:
    void comparing(const QString &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selected(const QString &name);
    void compareWith(const QString &name);
    void show();

    InstrumentState &m_control;
    InstrumentPanel &m_panel;
    QString m_selected;
    QString m_comparedWith;
    std::optional<InstrumentPanel::Compared> m_other;
};

} // namespace ixo
