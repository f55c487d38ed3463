#include "Registration.h"
#include "server/TypeLibrary.h"

#include <QCoreApplication>

// The compiled half of the ixoinstrsetups package; the package's __init__.py adds the parts
// written in Python and is what scripts import.
PYBIND11_MODULE(_core, module) {
    using namespace ixo::python;
    module.doc() = "The compiled core of ixoinstrsetups; import ixoinstrsetups instead.";
    // Profiles and message boxes go by the application name, which a QApplication made later
    // keeps; setting it makes none.
    if (QCoreApplication::applicationName().isEmpty())
        QCoreApplication::setApplicationName(QStringLiteral("ixoinstrsetups"));
    ixo::TypeLibrary::registerServer();
    register_errors(module);
    register_values(module);
    register_objects(module);
    register_instruments(module);
    register_document(module);
    register_bench(module);
    register_diff(module);
    register_control(module);
    register_app(module);
}
