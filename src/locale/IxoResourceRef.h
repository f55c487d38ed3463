#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"
#include "locale/IxoResource.h"

namespace ixo {

// A shared provider object seen through its IxoResource interface. Using an empty reference
// fails with error 91 instead of crashing.
class IXO_EXPORT IxoResourceRef {
public:
    IxoResourceRef() = default;
    // Nothing gives an empty reference; an object that is no IxoResource fails with error 13.
    explicit IxoResourceRef(ObjectRef object);

    IxoResource *operator->() const { return &get(); }
    IxoResource &operator*() const { return get(); }
    IxoResource &get() const;

    const ObjectRef &object() const { return m_object; }
    bool isEmpty() const { return !m_object; }
    explicit operator bool() const { return !isEmpty(); }
    void reset();

private:
    ObjectRef m_object;
    IxoResource *m_resource = nullptr;
};

} // namespace ixo
