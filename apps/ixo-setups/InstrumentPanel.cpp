#include "InstrumentPanel.h"

#include "ObservedInstrument.h"
#include "automation/AutomationError.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ixo {

InstrumentPanel::InstrumentPanel(ObservedInstrument &instrument, InstrumentSettings settings,
                                 QWidget *parent)
    : QWidget(parent)
    , m_instrument(instrument)
    , m_settings(std::move(settings))
    , m_identity(new QLabel(this))
    , m_table(new QTableWidget(0, 2, this)) {
    m_table->setHorizontalHeaderLabels({tr("Setting"), tr("Value")});
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_identity);
    layout->addWidget(m_table);
    connect(&instrument, &ObservedInstrument::setupChanged, this, &InstrumentPanel::refresh);
    connect(m_table, &QTableWidget::cellChanged, this, &InstrumentPanel::settingEdited);
    refresh();
}

void InstrumentPanel::refresh() {
    try {
        m_identity->setText(
            tr("<b>%1</b>, version %2").arg(m_instrument.Model(), m_instrument.Version()));
        const QMap<QString, QString> settings = m_settings.read();
        m_filling = true;
        m_table->setRowCount(static_cast<int>(settings.size()));
        int row = 0;
        for (auto it = settings.cbegin(); it != settings.cend(); ++it, ++row) {
            auto *header = new QTableWidgetItem(it.key());
            header->setFlags(header->flags() & ~Qt::ItemIsEditable);
            m_table->setItem(row, 0, header);
            m_table->setItem(row, 1, new QTableWidgetItem(it.value()));
        }
        m_filling = false;
        m_table->resizeColumnToContents(0);
    } catch (const AutomationError &error) {
        m_filling = false;
        showError(error.description());
    }
}

void InstrumentPanel::settingEdited(int row, int column) {
    if (m_filling || column != 1)
        return;
    try {
        m_settings.write(m_table->item(row, 0)->text(), m_table->item(row, 1)->text());
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    // Shows what the instrument made of the value, once the edit has finished.
    QMetaObject::invokeMethod(this, &InstrumentPanel::refresh, Qt::QueuedConnection);
}

void InstrumentPanel::showError(const QString &text) {
    m_identity->setText(tr("<b>Instrument error:</b> %1").arg(text.toHtmlEscaped()));
}

} // namespace ixo
