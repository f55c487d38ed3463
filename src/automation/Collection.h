#pragma once

#include "automation/Export.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace ixo {

// An ordered list counted from 1 whose elements may carry a unique key; keys are compared
// without regard to letter case.
class IXO_EXPORT Collection : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ Count)

public:
    explicit Collection(QObject *parent = nullptr);

    // Appends the item; a key that is already there (in any letter case) is refused.
    Q_INVOKABLE void Add(const QVariant &item, const QVariant &key = QVariant());
    // A number picks by position, a string by key.
    Q_INVOKABLE QVariant Item(const QVariant &index) const;
    Q_INVOKABLE void Remove(const QVariant &index);
    int Count() const { return static_cast<int>(m_entries.size()); }

    bool containsKey(const QString &key) const;

signals:
    // An item was added or removed.
    void changed();

private:
    struct Entry {
        QVariant item;
        QString key;
        bool hasKey = false;
    };

    static QString foldKey(const QString &key);
    std::size_t positionOf(const QVariant &index) const;
    std::size_t positionOfKey(const QString &key) const;

    std::vector<Entry> m_entries;
    QHash<QString, QVariant> m_byKey;
};

using CollectionRef = std::shared_ptr<Collection>;

} // namespace ixo

Q_DECLARE_METATYPE(ixo::CollectionRef)
