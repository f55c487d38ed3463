#pragma once

#include "automation/Export.h"

#include <QVariant>

namespace ixo {

// Turns all persistent properties of an object into one Variant and back.
class IXO_EXPORT PropertyBagHack {
public:
    virtual ~PropertyBagHack() = default;

    virtual QVariant WritePropertiesToVariant() = 0;
    virtual void ReadPropertiesFromVariant(const QVariant &contents) = 0;

protected:
    PropertyBagHack() = default;
    PropertyBagHack(const PropertyBagHack &) = default;
    PropertyBagHack &operator=(const PropertyBagHack &) = default;
};

} // namespace ixo
