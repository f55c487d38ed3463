#pragma once

#include "automation/Export.h"

#include <QString>
#include <QStringList>
#include <functional>

class QMenu;
class QObject;

namespace ixo {

// A most-recent-first list kept in the application's settings, such as the documents opened or
// the instruments connected; the same item is kept once.
class IXO_EXPORT RecentItems {
public:
    static const QString kDocumentsKey;
    static const QString kResourcesKey;
    static constexpr int kMaxDocuments = 6;
    static constexpr int kMaxResources = 8;

    using Normalize = std::function<QString(const QString &)>;

    // normalize: the form an item is kept in, so that two spellings of it are one.
    RecentItems(QString key, int maxItems, Qt::CaseSensitivity sensitivity, Normalize normalize);
    // Documents by absolute path or library address; resources as typed, letter case aside.
    static RecentItems documents();
    static RecentItems resources();

    // Puts the item first; an empty one is not kept.
    void remember(const QString &item) const;
    QStringList items() const;
    // One action per item, each calling open with its item.
    void addActions(QMenu &menu, QObject *context,
                    const std::function<void(const QString &)> &open) const;

private:
    QString m_key;
    int m_max;
    Qt::CaseSensitivity m_sensitivity;
    Normalize m_normalize;
};

} // namespace ixo
