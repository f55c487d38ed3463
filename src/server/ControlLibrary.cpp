#include "server/ControlLibrary.h"

#include "automation/ClassRegistry.h"
#include "control/InstrumentState.h"
#include "server/TypeLibrary.h"

namespace ixo {

void ControlLibrary::registerServer() {
    TypeLibrary::registerServer();
    ClassRegistry::instance().registerClass<InstrumentState>();
}

void ControlLibrary::unregisterServer() {
    for (const ClassIdentity &identity : creatableControls())
        ClassRegistry::instance().unregisterClass(identity.progId);
    TypeLibrary::unregisterServer();
}

QList<ClassIdentity> ControlLibrary::creatableControls() {
    return {ClassRegistry::identityOf(InstrumentState::staticMetaObject)};
}

} // namespace ixo
