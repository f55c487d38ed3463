#include "desktop/RecentItems.h"

#include "library/LibraryAddress.h"

#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace ixo {

const QString RecentItems::kDocumentsKey = QStringLiteral("recentFiles");
const QString RecentItems::kResourcesKey = QStringLiteral("recentResources");

RecentItems::RecentItems(QString key, int maxItems, Qt::CaseSensitivity sensitivity,
                         Normalize normalize)
    : m_key(std::move(key))
    , m_max(maxItems)
    , m_sensitivity(sensitivity)
    , m_normalize(std::move(normalize)) {}

// A library's address is kept as given.
RecentItems RecentItems::documents() {
    return {kDocumentsKey, kMaxDocuments, Qt::CaseSensitive, [](const QString &path) {
                return path.isEmpty() || LibraryAddress::isLibraryAddress(path)
                           ? path
                           : QFileInfo(path).absoluteFilePath();
            }};
}

RecentItems RecentItems::resources() {
    return {kResourcesKey, kMaxResources, Qt::CaseInsensitive,
            [](const QString &resource) { return resource.trimmed(); }};
}

void RecentItems::remember(const QString &item) const {
    const QString kept = m_normalize(item);
    if (kept.isEmpty())
        return;
    QStringList recent = items();
    recent.removeIf([&](const QString &known) { return known.compare(kept, m_sensitivity) == 0; });
    recent.prepend(kept);
    QSettings().setValue(m_key, recent.mid(0, m_max));
}

QStringList RecentItems::items() const {
    return QSettings().value(m_key).toStringList();
}

void RecentItems::addActions(QMenu &menu, QObject *context,
                             const std::function<void(const QString &)> &open) const {
    for (const QString &item : items())
        menu.addAction(item, context, [open, item] { open(item); });
}

} // namespace ixo
