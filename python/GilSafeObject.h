#pragma once

#include <pybind11/pybind11.h>

namespace ixo::python {

namespace py = pybind11;

// A Python reference that C++ may drop on any thread without holding the GIL: it takes the
// GIL to let go, and leaves the object to the interpreter once that is shutting down.
class GilSafeObject {
public:
    explicit GilSafeObject(py::object object)
        : m_object(std::move(object)) {}
    ~GilSafeObject() {
        if (!interpreterRunning()) {
            m_object.release();
            return;
        }
        py::gil_scoped_acquire gil;
        m_object = py::object();
    }
    GilSafeObject(const GilSafeObject &) = delete;
    GilSafeObject &operator=(const GilSafeObject &) = delete;

    // Use with the GIL held.
    const py::object &get() const { return m_object; }

    static bool interpreterRunning() {
#if PY_VERSION_HEX >= 0x030D0000
        return Py_IsInitialized() && !Py_IsFinalizing();
#else
        return Py_IsInitialized() && !_Py_IsFinalizing();
#endif
    }

private:
    py::object m_object;
};

} // namespace ixo::python
