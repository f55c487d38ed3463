#pragma once

#include "InstrumentSettings.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace ixo {

class ObservedInstrument;

// The connected instrument's identity and its current settings, which the user can change.
// Read again after every restore, so that a restore is visible.
class InstrumentPanel : public QWidget {
    Q_OBJECT

public:
    InstrumentPanel(ObservedInstrument &instrument, InstrumentSettings settings,
                    QWidget *parent = nullptr);

public slots:
    void refresh();

private slots:
    void settingEdited(int row, int column);

private:
    void showError(const QString &text);

    ObservedInstrument &m_instrument;
    InstrumentSettings m_settings;
    QLabel *m_identity;
    QTableWidget *m_table;
    bool m_filling = false;
};

} // namespace ixo
