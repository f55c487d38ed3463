#pragma once

#include "automation/Export.h"
#include "automation/PropertyBag.h"

#include <QString>

namespace ixo {

// The host application's document: one property bag kept in a file, written atomically.
class IXO_EXPORT HostDocument {
public:
    static constexpr qint64 kMaxFileSize = qint64(256) * 1024 * 1024;
    // Where a document keeps the list of saved states and the control's own properties.
    static const QString kStateListKey;
    static const QString kControlKey;

    static PropertyBag load(const QString &fileName);
    static void save(const PropertyBag &bag, const QString &fileName);
};

} // namespace ixo
