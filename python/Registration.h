#pragma once

#include <pybind11/pybind11.h>

// One function per concept the compiled module binds; Module.cpp calls them in order.
namespace ixo::python {

namespace py = pybind11;

void register_errors(py::module_ &module);
void register_values(py::module_ &module);
void register_objects(py::module_ &module);
void register_instruments(py::module_ &module);
void register_document(py::module_ &module);
void register_bench(py::module_ &module);
void register_diff(py::module_ &module);
void register_control(py::module_ &module);
void register_app(py::module_ &module);

} // namespace ixo::python
