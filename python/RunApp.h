#pragma once

#include "QtCasters.h"

#include <pybind11/pybind11.h>

namespace ixo::python {

namespace py = pybind11;

// The ixo-setups main window on an instrument given from Python.
class RunApp {
public:
    // Runs until the window closes and returns the event loop's exit code; with a screenshot
    // file it saves a picture of the window instead and returns at once.
    static int run(py::handle instrument, py::handle document, py::handle screenshot);
};

} // namespace ixo::python
