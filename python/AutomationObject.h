#pragma once

#include "QtCasters.h"
#include "automation/ObjectRef.h"

#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <pybind11/pybind11.h>

namespace ixo::python {

namespace py = pybind11;

// An automation object seen from Python: its properties and methods are reached by their
// automation names without regard to letter case, through the late-bound member access.
// An object Python created is shared with C++; one C++ owns (a dialog, a child control) is
// only referred to and raises error 91 once it is gone.
class AutomationObject {
public:
    explicit AutomationObject(ObjectRef object);
    static AutomationObject borrowed(QObject *object);

    QObject *object() const;
    const ObjectRef &owner() const { return m_owner; }
    QVariant toVariant() const;

    py::object get(const QString &member) const;
    void set(const QString &member, py::handle value) const;
    py::object invoke(const QString &method, const py::args &arguments) const;
    QStringList members() const;
    py::object findChild(const QString &name) const;
    QString progId() const;

    // The same object, however reached.
    bool operator==(const AutomationObject &other) const;
    std::size_t hash() const;
    QString repr() const;

private:
    AutomationObject() = default;

    // The declared name a member has in another letter case; empty when there is none.
    QString propertyName(const QString &member) const;
    QString methodName(const QString &member) const;

    ObjectRef m_owner;
    QPointer<QObject> m_object;
};

} // namespace ixo::python
