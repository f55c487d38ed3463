#include "automation/ClassRegistry.h"

#include "automation/AutomationError.h"
#include "automation/CaseFold.h"
#include "automation/ErrorNumber.h"
#include "automation/Persistable.h"

#include <QMetaClassInfo>

namespace ixo {

namespace {

QString classInfo(const QMetaObject &metaObject, const char *name) {
    const int index = metaObject.indexOfClassInfo(name);
    return index < 0 ? QString() : QString::fromLatin1(metaObject.classInfo(index).value());
}

QString registryKey(const QString &progId) {
    return CaseFold::fold(progId);
}

} // namespace

ClassRegistry &ClassRegistry::instance() {
    static ClassRegistry registry;
    return registry;
}

ClassIdentity ClassRegistry::identityOf(const QMetaObject &metaObject) {
    return ClassIdentity{classInfo(metaObject, "ProgID"),
                         QUuid::fromString(classInfo(metaObject, "ClassID")),
                         QUuid::fromString(classInfo(metaObject, "InterfaceID")),
                         QString::fromLatin1(metaObject.className()),
                         QUuid::fromString(classInfo(metaObject, "EventInterfaceID"))};
}

QString ClassRegistry::progIdOf(const QObject &object) {
    return classInfo(*object.metaObject(), "ProgID");
}

void ClassRegistry::registerClass(const QMetaObject &metaObject, Factory factory) {
    ClassIdentity identity = identityOf(metaObject);
    const QString key = registryKey(identity.progId);
    std::lock_guard lock(m_mutex);
    m_classes.insert(key, Entry{std::move(identity), std::move(factory)});
}

void ClassRegistry::unregisterClass(const QString &progId) {
    std::lock_guard lock(m_mutex);
    m_classes.remove(registryKey(progId));
}

ClassRegistry::Factory ClassRegistry::factoryFor(const QString &progId) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_classes.constFind(registryKey(progId));
    if (found == m_classes.cend())
        throw AutomationError(ErrorNumber::CannotCreateObject, QStringLiteral("IxoInstrSetups"),
                              QStringLiteral("ActiveX component can't create object: no class "
                                             "is registered as '%1'")
                                  .arg(progId));
    return found->factory;
}

ObjectRef ClassRegistry::createForLoading(const QString &progId) const {
    return factoryFor(progId)();
}

ObjectRef ClassRegistry::create(const QString &progId) const {
    ObjectRef object = createForLoading(progId);
    if (auto *persistable = dynamic_cast<Persistable *>(object.get()))
        persistable->InitProperties();
    return object;
}

bool ClassRegistry::isRegistered(const QString &progId) const {
    std::lock_guard lock(m_mutex);
    return m_classes.contains(registryKey(progId));
}

std::optional<ClassIdentity> ClassRegistry::identity(const QString &progId) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_classes.constFind(registryKey(progId));
    if (found == m_classes.cend())
        return std::nullopt;
    return found->identity;
}

} // namespace ixo
