#include "server/TypeLibrary.h"

#include "automation/ClassRegistry.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"

namespace ixo {

QString TypeLibrary::name() {
    return QStringLiteral("IxoInstrSetups");
}

QString TypeLibrary::description() {
    return QStringLiteral("Corvane Instrument Setup Manager Control");
}

QUuid TypeLibrary::libraryId() {
    return QUuid::fromString(QStringLiteral("{544420C9-0A5A-4694-8B50-C97D529A8537}"));
}

void TypeLibrary::registerServer() {
    ClassRegistry &registry = ClassRegistry::instance();
    registry.registerClass<StateInfo>();
    registry.registerClass<ItemStateInfo>();
}

void TypeLibrary::unregisterServer() {
    ClassRegistry &registry = ClassRegistry::instance();
    for (const ClassIdentity &identity : creatableClasses())
        registry.unregisterClass(identity.progId);
}

QList<ClassIdentity> TypeLibrary::creatableClasses() {
    return {ClassRegistry::identityOf(StateInfo::staticMetaObject),
            ClassRegistry::identityOf(ItemStateInfo::staticMetaObject)};
}

} // namespace ixo
