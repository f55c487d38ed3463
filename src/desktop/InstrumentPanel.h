#pragma once

#include "automation/Export.h"
#include "desktop/InstrumentSettings.h"

#include <QVariant>
#include <QWidget>

class QLabel;
class QTableWidget;

namespace ixo {

class InstrumentRelay;
class StateDiff;

// The connected instrument's identity and its current settings, which the user can change.
// Read again after every restore, so that a restore is visible. With one saved state to
// compare, shows it beside the instrument's setup; with two, the two states side by side;
// either way the settings that differ are highlighted.
class IXO_EXPORT InstrumentPanel : public QWidget {
    Q_OBJECT

public:
    // A saved state's name and data.
    struct Compared {
        QString name;
        QVariant data;
    };

    static const QColor kChanged;
    static const QColor kOnlyHere;
    static const QColor kOnlyThere;

    InstrumentPanel(InstrumentRelay &instrument, InstrumentSettings settings,
                    QWidget *parent = nullptr);

    // How the settings of another instrument are read; the next refresh shows them.
    void setSettings(InstrumentSettings settings);
    // None, one (against the instrument) or two saved states.
    void compare(QList<Compared> states);
    QTableWidget &table() const { return *m_table; }
    QString summary() const;
    QString identity() const;

public slots:
    void refresh();

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void settingEdited(int row, int column);

private:
    void showSettings(const QMap<QString, QString> &settings);
    void showDiff(const StateDiff &diff, const QString &first, const QString &second);
    void addRow(const QString &header, const QString &first, const QString &second, bool editable);
    void setHeaders();
    void showError(const QString &text);

    InstrumentRelay &m_instrument;
    InstrumentSettings m_settings;
    QList<Compared> m_compared;
    QLabel *m_identity;
    QLabel *m_summary;
    QTableWidget *m_table;
    bool m_filling = false;
};

} // namespace ixo
