#pragma once

#include <QString>
#include <QUuid>

namespace ixo {

// Who a creatable class is: read from the Q_CLASSINFO entries "ProgID", "ClassID" and
// "InterfaceID" of its meta-object.
struct ClassIdentity {
    QString progId;
    QUuid classId;
    QUuid interfaceId;
    QString className;
};

} // namespace ixo
