#include "Registration.h"
#include "RunApp.h"

namespace ixo::python {

void register_app(py::module_ &module) {
    module.def(
        "run_app",
        [](py::handle instrument, py::handle document, py::handle screenshot) {
            return RunApp::run(instrument, document, screenshot);
        },
        py::arg("instrument"), py::arg("document") = py::none(), py::arg("screenshot") = py::none(),
        "Opens the ixo-setups main window on an instrument (a Python SetupInterface or an "
        "Instrument), with a document if given, and returns when it is closed. With "
        "screenshot=path it saves a picture of the window and returns at once.");
}

} // namespace ixo::python
