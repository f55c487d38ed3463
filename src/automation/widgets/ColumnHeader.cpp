#include "automation/widgets/ColumnHeader.h"

#include <QTreeWidget>

namespace ixo {

ColumnHeader::ColumnHeader(QTreeWidget &view, int column, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_column(column) {}

QString ColumnHeader::Text() const {
    return m_view.headerItem()->text(m_column);
}

void ColumnHeader::setText(const QString &text) {
    m_view.headerItem()->setText(m_column, text);
}

} // namespace ixo
