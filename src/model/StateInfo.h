#pragma once

#include "automation/Collection.h"
#include "automation/Export.h"
#include "automation/Persistable.h"
#include "support/SetupInterface.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

namespace ixo {

class ItemStateInfo;
class PropertyBag;

// The list of saved states the host hands to the control, with the instrument link.
class IXO_EXPORT StateInfo : public QObject, public Persistable {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "IxoInstrSetups.StateInfo")
    Q_CLASSINFO("ClassID", "{9696E72C-E696-42DB-86B0-6A30113C9487}")
    Q_CLASSINFO("InterfaceID", "{4927CE84-DD12-43FF-91C0-27ECF82B70D2}")
    Q_PROPERTY(ixo::CollectionRef Items READ Items WRITE setItems NOTIFY itemsReplaced)
    Q_PROPERTY(ixo::SetupInterfaceRef SetupInterface READ SetupInterface WRITE setSetupInterface)
    Q_PROPERTY(QVariant LegacyDovetrackFileMask READ LegacyDovetrackFileMask WRITE
                   setLegacyDovetrackFileMask)

public:
    static constexpr int kMaxStates = 32767;
    static const QString kCountKey;
    static const QString kItemKeyPrefix;

    explicit StateInfo(QObject *parent = nullptr);

    // The collection itself: callers change the list in place.
    CollectionRef Items() const { return m_items; }
    void setItems(const CollectionRef &items);
    SetupInterfaceRef SetupInterface() const { return m_setupInterface; }
    void setSetupInterface(const SetupInterfaceRef &setupInterface);
    QVariant LegacyDovetrackFileMask() const { return m_legacyMask; }
    void setLegacyDovetrackFileMask(const QVariant &mask);

    Q_INVOKABLE void ReadProperties(ixo::PropertyBag *propbag);
    Q_INVOKABLE void WriteProperties(ixo::PropertyBag *propbag);

    void InitProperties() override;
    void ReadProperties(PropertyBag &propbag) override;
    void WriteProperties(PropertyBag &propbag) override;

    // The first of prefix + "1", prefix + "2", ... that is no key of Items; there always is
    // one within Count + 1 tries.
    QString firstFreeName(const QString &prefix) const;
    // The same, with the prefix asked for anew for each number tried, as the control reads it
    // from the thread's catalogue.
    QString firstFreeName(const std::function<QString()> &prefix) const;

    // The state at a 1-based position, typed.
    std::shared_ptr<ItemStateInfo> item(int index) const;
    // The state whose key is name, in any letter case as Items compares keys; null when there
    // is none.
    std::shared_ptr<ItemStateInfo> find(const QString &name) const;

signals:
    void itemsReplaced();

private:
    const Collection &items() const;

    CollectionRef m_items;
    SetupInterfaceRef m_setupInterface;
    QString m_legacyMask;
};

} // namespace ixo
