#include "automation/widgets/ListView.h"

namespace ixo {

ListView::ListView(QWidget *parent)
    : QTreeWidget(parent)
    // Owned by the view through the Qt parent.
    , m_columnHeaders(new ixo::ColumnHeaders(*this, this)) {
    setRootIsDecorated(false);
    setColumnCount(0);
}

} // namespace ixo
