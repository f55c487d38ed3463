#include "automation/widgets/ColumnHeaders.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"

#include <QTreeWidget>

namespace ixo {

ColumnHeaders::ColumnHeaders(QTreeWidget &view, QObject *parent)
    : QObject(parent)
    , m_view(view) {}

ColumnHeader *ColumnHeaders::Item(const QVariant &index) const {
    const std::int32_t position = VariantConvert::toLong(index);
    if (position < 1 || position > Count())
        throw AutomationError::standard(ErrorNumber::SubscriptOutOfRange,
                                        QStringLiteral("IxoInstrSetups.ColumnHeaders"));
    return m_headers[static_cast<std::size_t>(position - 1)];
}

ColumnHeader *ColumnHeaders::Add(const QString &text) {
    const int column = Count();
    m_view.setColumnCount(column + 1);
    // Owned by this collection through the Qt parent.
    auto *header = new ColumnHeader(m_view, column, this);
    header->setText(text);
    m_headers.push_back(header);
    return header;
}

} // namespace ixo
