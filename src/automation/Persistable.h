#pragma once

#include "automation/Export.h"

namespace ixo {

class PropertyBag;

// A class whose state lives in a property bag: created new it initialises itself, loaded it
// reads the bag, saved it writes into it.
class IXO_EXPORT Persistable {
public:
    virtual ~Persistable() = default;

    virtual void InitProperties() = 0;
    virtual void ReadProperties(PropertyBag &propbag) = 0;
    virtual void WriteProperties(PropertyBag &propbag) = 0;

protected:
    Persistable() = default;
    Persistable(const Persistable &) = default;
    Persistable &operator=(const Persistable &) = default;
};

} // namespace ixo
