#pragma once

#include "automation/ClassIdentity.h"
#include "automation/Export.h"

#include <QList>

namespace ixo {

// The server's control: registering makes InstrumentState creatable by its ProgID beside the
// classes of the type library. Apart from them, because the control needs Qt Widgets and a
// widget application, and the classes need neither.
class IXO_EXPORT ControlLibrary {
public:
    // Registers the type library's classes and the control.
    static void registerServer();
    static void unregisterServer();
    static QList<ClassIdentity> creatableControls();
};

} // namespace ixo
