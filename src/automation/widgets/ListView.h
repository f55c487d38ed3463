#pragma once

#include "automation/widgets/ColumnHeaders.h"

#include <QTreeWidget>

namespace ixo {

// The report list view: rows with sub-items under a row of column headers.
class ListView : public QTreeWidget {
    Q_OBJECT
    Q_CLASSINFO("AutomationTypeName", "ListView")
    Q_PROPERTY(ixo::ColumnHeaders *ColumnHeaders READ ColumnHeaders CONSTANT)

public:
    explicit ListView(QWidget *parent = nullptr);

    ixo::ColumnHeaders *ColumnHeaders() const { return m_columnHeaders; }

private:
    ixo::ColumnHeaders *m_columnHeaders;
};

} // namespace ixo
