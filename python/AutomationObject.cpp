#include "AutomationObject.h"

#include "PythonValues.h"
#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/MemberAccess.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QSet>

namespace ixo::python {

namespace {

const QString kAutomationObjectSource = QStringLiteral("ixoinstrsetups");

bool sameName(const char *declared, const QString &member) {
    return QString::fromLatin1(declared).compare(member, Qt::CaseInsensitive) == 0;
}

// QObject's own methods (deleteLater among them) are not automation members.
bool isAutomationMethod(const QMetaMethod &method, int index) {
    return index >= QObject::staticMetaObject.methodCount() &&
           method.access() == QMetaMethod::Public &&
           (method.methodType() == QMetaMethod::Method || method.methodType() == QMetaMethod::Slot);
}

} // namespace

AutomationObject::AutomationObject(ObjectRef object)
    : m_owner(std::move(object))
    , m_object(m_owner.get()) {}

AutomationObject AutomationObject::borrowed(QObject *object) {
    AutomationObject result;
    result.m_object = object;
    return result;
}

QObject *AutomationObject::object() const {
    if (!m_object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kAutomationObjectSource);
    return m_object.data();
}

QVariant AutomationObject::toVariant() const {
    if (m_owner)
        return QVariant::fromValue(m_owner);
    return QVariant::fromValue(object());
}

QString AutomationObject::propertyName(const QString &member) const {
    const QMetaObject *metaObject = object()->metaObject();
    for (int i = 0; i < metaObject->propertyCount(); ++i) {
        if (sameName(metaObject->property(i).name(), member))
            return QString::fromLatin1(metaObject->property(i).name());
    }
    return {};
}

QString AutomationObject::methodName(const QString &member) const {
    const QMetaObject *metaObject = object()->metaObject();
    for (int i = metaObject->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = metaObject->method(i);
        if (isAutomationMethod(method, i) && sameName(method.name().constData(), member))
            return QString::fromLatin1(method.name());
    }
    return {};
}

py::object AutomationObject::get(const QString &member) const {
    if (const QString property = propertyName(member); !property.isEmpty())
        return PythonValues::toPython(MemberAccess::get(object(), property));
    if (const QString method = methodName(member); !method.isEmpty()) {
        const AutomationObject self = *this;
        return py::cpp_function(
            [self, method](const py::args &arguments) { return self.invoke(method, arguments); },
            py::name(method.toStdString().c_str()),
            py::doc(("The automation method " + method.toStdString() + ".").c_str()));
    }
    // The usual members of the controls (Caption, Text, Tag ...) that map onto Qt's.
    return PythonValues::toPython(MemberAccess::get(object(), member));
}

void AutomationObject::set(const QString &member, py::handle value) const {
    const QString property = propertyName(member);
    MemberAccess::set(object(), property.isEmpty() ? member : property,
                      PythonValues::toVariant(value));
}

py::object AutomationObject::invoke(const QString &method, const py::args &arguments) const {
    QVariantList values;
    for (py::handle argument : arguments)
        values.append(PythonValues::toVariant(argument));
    QObject *target = object();
    QVariant result;
    {
        // A method may run long (a capture behind a button); other Python threads go on.
        py::gil_scoped_release release;
        result = MemberAccess::invoke(target, method, values);
    }
    return PythonValues::toPython(result);
}

QStringList AutomationObject::members() const {
    const QMetaObject *metaObject = object()->metaObject();
    QStringList names;
    QSet<QString> seen;
    for (int i = QObject::staticMetaObject.propertyCount(); i < metaObject->propertyCount(); ++i)
        names.append(QString::fromLatin1(metaObject->property(i).name()));
    for (int i = 0; i < metaObject->methodCount(); ++i) {
        const QMetaMethod method = metaObject->method(i);
        const QString name = QString::fromLatin1(method.name());
        if (isAutomationMethod(method, i) && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

py::object AutomationObject::findChild(const QString &name) const {
    QObject *child = object()->findChild<QObject *>(name);
    if (!child)
        throw AutomationError(ErrorNumber::MemberNotSupported, kAutomationObjectSource,
                              QStringLiteral("No child named '%1'").arg(name));
    return py::cast(borrowed(child));
}

QString AutomationObject::progId() const {
    return ClassRegistry::progIdOf(*object());
}

bool AutomationObject::operator==(const AutomationObject &other) const {
    return m_object == other.m_object;
}

std::size_t AutomationObject::hash() const {
    return std::hash<const void *>()(m_object.data());
}

QString AutomationObject::repr() const {
    if (!m_object)
        return QStringLiteral("<ixoinstrsetups.Object: Nothing>");
    const QString id = progId();
    return QStringLiteral("<ixoinstrsetups.Object %1>")
        .arg(id.isEmpty() ? QString::fromLatin1(m_object->metaObject()->className()) : id);
}

} // namespace ixo::python
