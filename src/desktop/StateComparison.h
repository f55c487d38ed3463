#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

namespace ixo {

class InstrumentPanel;
class InstrumentState;

// Shows in the settings panel what the user highlights in the control's list: the highlighted
// saved state against the instrument's setup, or, after Ctrl+click on a second row, the two
// states against each other (the first stays highlighted).
class StateComparison : public QObject {
    Q_OBJECT

public:
    StateComparison(InstrumentState &control, InstrumentPanel &panel, QObject *parent = nullptr);

    // Highlights the first name's row; a second name is compared with it.
    void select(const QStringList &names);
    // Compares nothing until a row is highlighted again.
    void clear();

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
};

} // namespace ixo
