#pragma once

#include "automation/Export.h"
#include "support/PropertyBagHack.h"
#include "support/SetupInterface.h"

#include <QObject>
#include <QString>
#include <QVariant>

namespace ixo {

class PropertyBag;

// One saved instrument state: the user's name and description, the opaque data captured
// from the instrument and the model and version it came from.
class IXO_EXPORT ItemStateInfo : public QObject, public PropertyBagHack {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "IxoInstrSetups.ItemStateInfo")
    Q_CLASSINFO("ClassID", "{58B2A885-EBBF-4CFB-AE81-3C2F30074ACA}")
    Q_CLASSINFO("InterfaceID", "{BAB329AA-150D-4B98-94AC-24A8ED2F9B78}")
    Q_PROPERTY(QString Name READ Name WRITE setName NOTIFY changed)
    Q_PROPERTY(QString Description READ Description WRITE setDescription NOTIFY changed)
    Q_PROPERTY(QVariant data READ data WRITE setData NOTIFY changed)
    Q_PROPERTY(QString Model READ Model WRITE setModel NOTIFY changed)
    Q_PROPERTY(QString Version READ Version WRITE setVersion NOTIFY changed)

public:
    explicit ItemStateInfo(QObject *parent = nullptr);

    // Takes model and version from the instrument; the rest is left as it is.
    Q_INVOKABLE void Init(const ixo::SetupInterfaceRef &setupInt);

    QString Name() const { return m_name; }
    void setName(const QString &name);
    QString Description() const { return m_description; }
    void setDescription(const QString &description);
    QVariant data() const { return m_data; }
    void setData(const QVariant &data);
    QString Model() const { return m_model; }
    void setModel(const QString &model);
    QString Version() const { return m_version; }
    void setVersion(const QString &version);

    // Captured on an instrument of exactly this model and version? Asks, in this order, the
    // state's model, the instrument's, the state's version and the instrument's.
    bool matchesInstrument(SetupInterface &setup) const;

    QVariant WritePropertiesToVariant() override;
    void ReadPropertiesFromVariant(const QVariant &contents) override;

signals:
    void changed();

private:
    void WriteToBag(PropertyBag &bag) const;
    void ReadFromBag(const PropertyBag &bag);

    QString m_name;
    QString m_description;
    QVariant m_data;
    QString m_model;
    QString m_version;
};

} // namespace ixo
