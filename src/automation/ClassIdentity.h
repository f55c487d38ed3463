#pragma once

#include "automation/Export.h"

#include <QString>
#include <QUuid>

namespace ixo {

// Who a creatable class is: read from the Q_CLASSINFO entries "ProgID", "ClassID",
// "InterfaceID" and, for a class with events, "EventInterfaceID" of its meta-object.
struct IXO_EXPORT ClassIdentity {
    QString progId;
    QUuid classId;
    QUuid interfaceId;
    QString className;
    QUuid eventInterfaceId; // null for a class without events
};

} // namespace ixo
