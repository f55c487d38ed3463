#pragma once

#include "automation/ClassIdentity.h"
#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QHash>
#include <QMetaObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace ixo {

// Creates the server's classes by ProgID, standing in for the component runtime's registry.
class IXO_EXPORT ClassRegistry {
public:
    using Factory = std::function<ObjectRef()>;

    static ClassRegistry &instance();

    template <typename T> void registerClass() {
        registerClass(T::staticMetaObject, [] { return std::make_shared<T>(); });
    }
    void registerClass(const QMetaObject &metaObject, Factory factory);
    void unregisterClass(const QString &progId);

    // A new object that starts from its initial values (a persistable one is initialised).
    ObjectRef create(const QString &progId) const;
    // A new object about to be filled from stored properties: not initialised.
    ObjectRef createForLoading(const QString &progId) const;

    bool isRegistered(const QString &progId) const;
    std::optional<ClassIdentity> identity(const QString &progId) const;

    static ClassIdentity identityOf(const QMetaObject &metaObject);
    static QString progIdOf(const QObject &object);

private:
    ClassRegistry() = default;
    Factory factoryFor(const QString &progId) const;

    struct Entry {
        ClassIdentity identity;
        Factory factory;
    };
    mutable std::mutex m_mutex;
    QHash<QString, Entry> m_classes;
};

} // namespace ixo
