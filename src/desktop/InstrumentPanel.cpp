#include "desktop/InstrumentPanel.h"

#include "automation/AutomationError.h"
#include "desktop/InstrumentRelay.h"
#include "instruments/StateDiff.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ixo {

const QColor InstrumentPanel::kChanged(255, 225, 130);
const QColor InstrumentPanel::kOnlyHere(255, 190, 190);
const QColor InstrumentPanel::kOnlyThere(190, 230, 190);

namespace {

QString blockText(const StateDiff::Block &block) {
    return InstrumentPanel::tr("size %1, CRC-32 %2")
        .arg(block.size)
        .arg(block.crc32, 8, 16, QLatin1Char('0'));
}

} // namespace

InstrumentPanel::InstrumentPanel(InstrumentRelay &instrument, InstrumentSettings settings,
                                 QWidget *parent)
    : QWidget(parent)
    , m_instrument(instrument)
    , m_settings(std::move(settings))
    , m_identity(new QLabel(this))
    , m_summary(new QLabel(this))
    , m_table(new QTableWidget(0, 2, this)) {
    m_summary->setWordWrap(true);
    m_summary->setObjectName(QStringLiteral("comparisonSummary"));
    m_table->setObjectName(QStringLiteral("settingsTable"));
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_identity);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    connect(&instrument, &InstrumentRelay::setupChanged, this, &InstrumentPanel::refresh);
    connect(m_table, &QTableWidget::cellChanged, this, &InstrumentPanel::settingEdited);
    refresh();
}

void InstrumentPanel::setSettings(InstrumentSettings settings) {
    m_settings = std::move(settings);
}

void InstrumentPanel::compare(QList<Compared> states) {
    m_compared = std::move(states);
    refresh();
}

QString InstrumentPanel::summary() const {
    return m_summary->text();
}

QString InstrumentPanel::identity() const {
    return m_identity->text();
}

void InstrumentPanel::changeEvent(QEvent *event) {
    if (event->type() == QEvent::LanguageChange)
        refresh();
    QWidget::changeEvent(event);
}

void InstrumentPanel::refresh() {
    m_filling = true;
    if (!m_instrument.isConnected()) {
        m_identity->setText(tr("<b>Not connected</b>"));
        m_summary->hide();
        m_table->setRowCount(0);
        m_filling = false;
        return;
    }
    try {
        m_identity->setText(
            tr("<b>%1</b>, version %2").arg(m_instrument.Model(), m_instrument.Version()));
        m_table->setRowCount(0);
        if (m_compared.size() >= 2) {
            showDiff(StateDiff::compare(m_compared[0].data, m_compared[1].data), m_compared[0].name,
                     m_compared[1].name);
        } else if (m_compared.size() == 1) {
            const QVariant current = m_instrument.CaptureState();
            const StateDiff diff = StateDiff::compare(current, m_compared[0].data);
            if (!diff.isText())
                showSettings(m_instrument.run([this] { return m_settings.read(); }));
            showDiff(diff, QString(), m_compared[0].name);
        } else {
            m_summary->hide();
            showSettings(m_instrument.run([this] { return m_settings.read(); }));
        }
        m_table->resizeColumnToContents(0);
        m_table->resizeRowsToContents();
    } catch (const AutomationError &error) {
        showError(error.description());
    }
    m_filling = false;
}

void InstrumentPanel::showSettings(const QMap<QString, QString> &settings) {
    setHeaders();
    for (auto it = settings.cbegin(); it != settings.cend(); ++it)
        addRow(it.key(), it.value(), QString(), true);
}

// An empty first name stands for the instrument, whose values stay editable.
void InstrumentPanel::showDiff(const StateDiff &diff, const QString &first, const QString &second) {
    setHeaders();
    const QString firstName = first.isEmpty() ? tr("the instrument") : tr("\"%1\"").arg(first);
    const QString secondName = tr("\"%1\"").arg(second);
    m_summary->show();
    if (!diff.isText()) {
        m_summary->setText(tr("Setup blocks: %1 %2; %3 %4. %5")
                               .arg(firstName, blockText(diff.block(0)), secondName,
                                    blockText(diff.block(1)),
                                    diff.same() ? tr("They are the same.") : tr("They differ.")));
        return;
    }
    int changed = 0, onlyFirst = 0, onlySecond = 0;
    for (const StateDiff::Setting &setting : diff.settings()) {
        addRow(setting.header, setting.first, setting.second, first.isEmpty());
        const int row = m_table->rowCount() - 1;
        QColor colour;
        QString tip;
        switch (setting.change) {
        case StateDiff::Change::Same:
            continue;
        case StateDiff::Change::Changed:
            ++changed;
            colour = kChanged;
            tip = tr("Changed");
            break;
        case StateDiff::Change::OnlyFirst:
            ++onlyFirst;
            colour = kOnlyHere;
            tip = tr("Only in %1").arg(firstName);
            break;
        case StateDiff::Change::OnlySecond:
            ++onlySecond;
            colour = kOnlyThere;
            tip = tr("Only in %1").arg(secondName);
            break;
        }
        for (int column = 0; column < 3; ++column) {
            m_table->item(row, column)->setBackground(colour);
            m_table->item(row, column)->setForeground(Qt::black);
            m_table->item(row, column)->setToolTip(tip);
        }
    }
    QString text = changed + onlyFirst + onlySecond == 0
                       ? tr("%1 and %2 have the same settings.").arg(firstName, secondName)
                       : tr("%1 against %2: %3 changed, %4 only in %1, %5 only in %2.")
                             .arg(firstName, secondName)
                             .arg(changed)
                             .arg(onlyFirst)
                             .arg(onlySecond);
    // The summary may start with "the instrument".
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    m_summary->setText(text);
}

void InstrumentPanel::addRow(const QString &header, const QString &first, const QString &second,
                             bool editable) {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto *headerItem = new QTableWidgetItem(header);
    headerItem->setFlags(headerItem->flags() & ~Qt::ItemIsEditable);
    m_table->setItem(row, 0, headerItem);
    auto *firstItem = new QTableWidgetItem(first);
    if (!editable)
        firstItem->setFlags(firstItem->flags() & ~Qt::ItemIsEditable);
    m_table->setItem(row, 1, firstItem);
    if (m_table->columnCount() > 2) {
        auto *secondItem = new QTableWidgetItem(second);
        secondItem->setFlags(secondItem->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, 2, secondItem);
    }
}

void InstrumentPanel::setHeaders() {
    QStringList headers{tr("Setting")};
    if (m_compared.size() >= 2)
        headers << m_compared[0].name << m_compared[1].name;
    else if (m_compared.size() == 1)
        headers << tr("Instrument") << m_compared[0].name;
    else
        headers << tr("Value");
    m_table->setColumnCount(int(headers.size()));
    m_table->setHorizontalHeaderLabels(headers);
}

void InstrumentPanel::settingEdited(int row, int column) {
    if (m_filling || column != 1 || m_compared.size() >= 2)
        return;
    const QString header = m_table->item(row, 0)->text();
    const QString value = m_table->item(row, 1)->text();
    try {
        m_instrument.run([&] { m_settings.write(header, value); });
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
