#include "PythonSetupInterface.h"

#include "AutomationObject.h"
#include "GilSafeObject.h"
#include "PythonValues.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

namespace ixo::python {

namespace {

QString typeName(py::handle object) {
    return QString::fromStdString(py::str(py::type::handle_of(object).attr("__name__")));
}

} // namespace

PythonSetupInterface::PythonSetupInterface(py::object implementation)
    : m_implementation(implementation.release().ptr()) {}

PythonSetupInterface::~PythonSetupInterface() {
    // Once the interpreter is going away the reference is left to it.
    if (!GilSafeObject::interpreterRunning())
        return;
    py::gil_scoped_acquire gil;
    Py_DECREF(m_implementation);
}

py::object PythonSetupInterface::implementation() const {
    return py::reinterpret_borrow<py::object>(m_implementation);
}

void PythonSetupInterface::rethrow(const py::error_already_set &error, const QString &source) {
    py::handle value = error.value();
    if (value && py::hasattr(value, "number") && py::hasattr(value, "description") &&
        py::hasattr(value, "source")) {
        try {
            throw AutomationError(value.attr("number").cast<std::int32_t>(),
                                  value.attr("source").cast<QString>(),
                                  value.attr("description").cast<QString>());
        } catch (const py::cast_error &) {
        }
    }
    const QString message = value ? QString::fromStdString(py::str(value)) : QString();
    throw AutomationError(ErrorNumber::Fail, source,
                          message.isEmpty() ? typeName(error.type()) : message);
}

template <typename Work> auto PythonSetupInterface::call(const char *member, Work &&work) {
    py::gil_scoped_acquire gil;
    const py::object self = implementation();
    const QString source = typeName(self) + QLatin1Char('.') + QString::fromLatin1(member);
    try {
        return work(self.attr(member));
    } catch (py::error_already_set &error) {
        rethrow(error, source);
    } catch (const py::cast_error &) {
        throw AutomationError(ErrorNumber::TypeMismatch, source,
                              QStringLiteral("%1 returned a value of the wrong type").arg(source));
    }
}

QString PythonSetupInterface::text(const char *member) {
    return call(member, [](const py::object &method) { return py::str(method()).cast<QString>(); });
}

QString PythonSetupInterface::Model() {
    return text("Model");
}

QString PythonSetupInterface::Version() {
    return text("Version");
}

QVariant PythonSetupInterface::CaptureState() {
    return call("CaptureState",
                [](const py::object &method) { return PythonValues::toVariant(method()); });
}

void PythonSetupInterface::RestoreState(const QVariant &state) {
    call("RestoreState",
         [&state](const py::object &method) { method(PythonValues::toPython(state)); });
}

ObjectRef PythonSetupInterface::ImportLegacyFile(const QString &fileName, const QString &progId) {
    {
        py::gil_scoped_acquire gil;
        if (!py::hasattr(implementation(), "ImportLegacyFile"))
            return {};
    }
    return call("ImportLegacyFile", [&](const py::object &method) -> ObjectRef {
        const py::object result = method(fileName, progId);
        if (result.is_none())
            return {};
        if (!py::isinstance<AutomationObject>(result) ||
            !result.cast<const AutomationObject &>().owner())
            throw py::cast_error();
        return result.cast<const AutomationObject &>().owner();
    });
}

} // namespace ixo::python
