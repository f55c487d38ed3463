#pragma once

#include "automation/Export.h"
#include "automation/widgets/ColumnHeader.h"

#include <QObject>
#include <QVariant>
#include <vector>

class QTreeWidget;

namespace ixo {

// The column headers of a list view, counted from 1. Adding a header adds a column.
class IXO_EXPORT ColumnHeaders : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    ColumnHeaders(QTreeWidget &view, QObject *parent);

    int Count() const { return static_cast<int>(m_headers.size()); }
    // A position outside 1 to Count fails with error 9.
    Q_INVOKABLE ixo::ColumnHeader *Item(const QVariant &index) const;
    Q_INVOKABLE ixo::ColumnHeader *Add(const QString &text = QString());

private:
    QTreeWidget &m_view;
    std::vector<ColumnHeader *> m_headers;
};

} // namespace ixo
