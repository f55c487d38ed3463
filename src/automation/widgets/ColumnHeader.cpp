#include "automation/widgets/ColumnHeader.h"

#include "automation/widgets/Twips.h"

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

void ColumnHeader::setWidth(float twips) {
    m_width = twips;
    m_view.setColumnWidth(m_column, Twips::toPixelsX(twips, m_view));
}

} // namespace ixo
