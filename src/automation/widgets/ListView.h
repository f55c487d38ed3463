#pragma once

#include "automation/Export.h"
#include "automation/widgets/ColumnHeaders.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QString>
#include <QTreeWidget>

namespace ixo {

// The report list view: rows with sub-items under a row of column headers. Rows are counted
// from 1; a position outside 1 to rowCount() fails with error 9. Each row has a small icon,
// an index into the view's image list (0 for none), and a fore colour.
class IXO_EXPORT ListView : public QTreeWidget {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "ListView")
    Q_PROPERTY(ixo::ColumnHeaders *ColumnHeaders READ ColumnHeaders CONSTANT)
    Q_PROPERTY(float Width READ Width)

public:
    explicit ListView(QWidget *parent = nullptr);

    ixo::ColumnHeaders *ColumnHeaders() const { return m_columnHeaders; }
    // The width in twips, as the container measures: the width it was placed with while its
    // pixels are those of that placing, so no rounding to whole pixels shows.
    float Width() const;
    // Places the view at a design rectangle in twips (left, top, width, height).
    void place(double left, double top, double width, double height);

    // The small icons, counted from 1.
    void setSmallIcons(QList<QIcon> icons);

    int rowCount() const { return topLevelItemCount(); }
    // Appends a row and returns its position.
    int addRow(const QString &text);
    // Appends a row with its sub-items; one insertion, without a change per column.
    int addRow(const QStringList &texts);
    void removeRow(int row);
    void clearRows();

    QString rowText(int row) const;
    void setRowText(int row, const QString &text);
    QString subItem(int row, int subItem) const;
    void setSubItem(int row, int subItem, const QString &text);
    int smallIcon(int row) const;
    void setSmallIcon(int row, int icon);
    // An invalid colour stands for the view's default.
    QColor foreColor(int row) const;
    void setForeColor(int row, const QColor &color);

    // 0 when no row is selected.
    int selectedRow() const;
    void setSelectedRow(int row);

private:
    QTreeWidgetItem &itemAt(int row) const;
    // What a row without a marker shows: nothing, in the space of an icon while the view has
    // small icons, so that every row has the same height and its text starts at the same place.
    QIcon noIcon() const;
    void refreshIcons();

    ixo::ColumnHeaders *m_columnHeaders;
    QList<QIcon> m_smallIcons;
    QIcon m_blankIcon;
    double m_placedWidth = 0.0;
    int m_placedPixels = -1;
};

} // namespace ixo
