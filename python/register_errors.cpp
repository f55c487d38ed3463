#include "QtCasters.h"
#include "Registration.h"
#include "automation/AutomationError.h"

namespace ixo::python {

namespace {

const QString kRegisterErrorsSource = QStringLiteral("ixoinstrsetups");

// The exception class is the package's own, written in Python. It is looked up by name each
// time, so the extension holds no reference that could outlive the interpreter or the module.
void raiseAutomationError(const AutomationError &error) {
    try {
        const py::object type = py::module_::import("ixoinstrsetups").attr("AutomationError");
        const py::object instance = type(error.number(), error.source(), error.description());
        PyErr_SetObject(type.ptr(), instance.ptr());
    } catch (py::error_already_set &lookup) {
        lookup.restore();
    }
}

} // namespace

void register_errors(py::module_ &module) {
    py::register_exception_translator([](std::exception_ptr pointer) {
        try {
            if (pointer)
                std::rethrow_exception(pointer);
        } catch (const AutomationError &error) {
            raiseAutomationError(error);
        }
    });
    module.def(
        "raise_error",
        [](std::int32_t number, const QString &source, const QString &description) {
            if (description.isEmpty())
                throw AutomationError::standard(number, source);
            throw AutomationError(number, source, description);
        },
        py::arg("number"), py::arg("source") = kRegisterErrorsSource,
        py::arg("description") = QString(),
        "Raises an AutomationError from C++; without a description the standard one of the "
        "number.");
}

} // namespace ixo::python
