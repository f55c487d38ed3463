#pragma once

#include "automation/Export.h"

#include <QObject>
#include <QString>

namespace ixo {

// The automation type name of an object. A class names its own with
// Q_CLASSINFO("AutomationTypeName", ...); the common widgets report the names of the controls
// they stand in for, anything else its class name without namespace.
class IXO_EXPORT TypeName {
public:
    static QString of(const QObject &object);
};

} // namespace ixo
