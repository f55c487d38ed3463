#include "automation/widgets/ListView.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/Twips.h"

#include <QPixmap>

namespace ixo {

namespace {

constexpr int kSmallIconRole = Qt::UserRole + 1;

} // namespace

ListView::ListView(QWidget *parent)
    : QTreeWidget(parent)
    // Owned by the view through the Qt parent.
    , m_columnHeaders(new ixo::ColumnHeaders(*this, this)) {
    setRootIsDecorated(false);
    setColumnCount(0);
    connect(this, &QAbstractItemView::iconSizeChanged, this, [this] { refreshIcons(); });
}

float ListView::Width() const {
    if (width() == m_placedPixels)
        return static_cast<float>(m_placedWidth);
    return static_cast<float>(Twips::fromPixelsX(width(), *this));
}

void ListView::place(double left, double top, double width, double height) {
    setGeometry(Twips::toPixelsX(left, *this), Twips::toPixelsY(top, *this),
                Twips::toPixelsX(width, *this), Twips::toPixelsY(height, *this));
    m_placedWidth = width;
    m_placedPixels = this->width();
}

void ListView::setSmallIcons(QList<QIcon> icons) {
    m_smallIcons = std::move(icons);
    refreshIcons();
}

void ListView::refreshIcons() {
    m_blankIcon = QIcon();
    if (!m_smallIcons.isEmpty()) {
        QPixmap blank(iconSize().isValid() ? iconSize() : QSize(16, 16));
        blank.fill(Qt::transparent);
        m_blankIcon = QIcon(blank);
    }
    for (int row = 1; row <= rowCount(); ++row)
        setSmallIcon(row, smallIcon(row));
}

QIcon ListView::noIcon() const {
    return m_blankIcon;
}

int ListView::addRow(const QString &text) {
    return addRow(QStringList{text});
}

int ListView::addRow(const QStringList &texts) {
    // Filled in before it joins the view, so the model announces it once.
    auto *item = new QTreeWidgetItem(texts);
    item->setData(0, kSmallIconRole, 0);
    item->setIcon(0, noIcon());
    addTopLevelItem(item);
    return rowCount();
}

void ListView::removeRow(int row) {
    delete &itemAt(row);
}

void ListView::clearRows() {
    clear();
}

QString ListView::rowText(int row) const {
    return itemAt(row).text(0);
}

void ListView::setRowText(int row, const QString &text) {
    itemAt(row).setText(0, text);
}

QString ListView::subItem(int row, int subItem) const {
    return itemAt(row).text(subItem);
}

void ListView::setSubItem(int row, int subItem, const QString &text) {
    itemAt(row).setText(subItem, text);
}

int ListView::smallIcon(int row) const {
    return itemAt(row).data(0, kSmallIconRole).toInt();
}

void ListView::setSmallIcon(int row, int icon) {
    QTreeWidgetItem &item = itemAt(row);
    if (icon < 0 || icon > m_smallIcons.size())
        throw AutomationError(ErrorNumber::InvalidProcedureCall,
                              QStringLiteral("IxoInstrSetups.ListView"),
                              QStringLiteral("Index out of bounds"));
    item.setData(0, kSmallIconRole, icon);
    item.setIcon(0, icon == 0 ? noIcon() : m_smallIcons.at(icon - 1));
}

QColor ListView::foreColor(int row) const {
    const QVariant brush = itemAt(row).data(0, Qt::ForegroundRole);
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

void ListView::setForeColor(int row, const QColor &color) {
    QTreeWidgetItem &item = itemAt(row);
    for (int column = 0; column < std::max(1, columnCount()); ++column)
        item.setData(column, Qt::ForegroundRole,
                     color.isValid() ? QVariant(QBrush(color)) : QVariant());
}

int ListView::selectedRow() const {
    const QList<QTreeWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? 0 : indexOfTopLevelItem(selected.front()) + 1;
}

void ListView::setSelectedRow(int row) {
    QTreeWidgetItem &item = itemAt(row);
    setCurrentItem(&item);
    clearSelection();
    item.setSelected(true);
}

QTreeWidgetItem &ListView::itemAt(int row) const {
    if (row < 1 || row > rowCount())
        throw AutomationError::standard(ErrorNumber::SubscriptOutOfRange,
                                        QStringLiteral("IxoInstrSetups.ListView"));
    return *topLevelItem(row - 1);
}

} // namespace ixo
