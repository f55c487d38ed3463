#pragma once

#include "automation/ClassIdentity.h"
#include "automation/Export.h"

#include <QList>
#include <QString>
#include <QUuid>

namespace ixo {

// The server's identity and its registration: registering makes the creatable classes
// known to the class registry by their ProgIDs.
class IXO_EXPORT TypeLibrary {
public:
    static constexpr int kMajorVersion = 3;
    static constexpr int kMinorVersion = 0;

    static QString name();
    static QString description();
    static QUuid libraryId();

    static void registerServer();
    static void unregisterServer();
    static QList<ClassIdentity> creatableClasses();
};

} // namespace ixo
