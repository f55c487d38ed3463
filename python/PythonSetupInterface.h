#pragma once

#include "QtCasters.h"
#include "support/SetupInterface.h"

#include <pybind11/pybind11.h>

namespace ixo::python {

namespace py = pybind11;

// The trampoline that makes a Python object with the SetupInterface members an instrument for
// C++. Each call takes the GIL, so C++ may call from any thread and without holding it; an
// exception the Python code raises comes back as an AutomationError with the Python message.
class PythonSetupInterface : public SetupInterface {
public:
    explicit PythonSetupInterface(py::object implementation);
    ~PythonSetupInterface() override;
    PythonSetupInterface(const PythonSetupInterface &) = delete;
    PythonSetupInterface &operator=(const PythonSetupInterface &) = delete;

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    py::object implementation() const;

    // Raises the AutomationError that stands for the Python exception being handled.
    [[noreturn]] static void rethrow(const py::error_already_set &error, const QString &source);

private:
    template <typename Work> auto call(const char *member, Work &&work);
    QString text(const char *member);

    PyObject *m_implementation;
};

} // namespace ixo::python
