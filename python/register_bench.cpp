#include "PythonBench.h"
#include "PythonValues.h"
#include "Registration.h"

#include <pybind11/stl.h>

namespace ixo::python {

namespace {

PythonBench::Instruments instrumentsOf(const std::optional<py::dict> &given) {
    PythonBench::Instruments instruments;
    if (given) {
        for (const auto &[role, instrument] : *given)
            instruments[role.cast<QString>()] = PythonValues::toSetupInterface(instrument);
    }
    return instruments;
}

py::dict resultsOf(const BenchReport &report) {
    py::dict results;
    for (const BenchReport::Outcome &outcome : report.outcomes())
        results[py::cast(outcome.role)] = BenchReport::resultName(outcome.result);
    return results;
}

} // namespace

void register_bench(py::module_ &module) {
    using Release = py::call_guard<py::gil_scoped_release>;
    py::class_<PythonBench, std::shared_ptr<PythonBench>>(
        module, "Bench",
        "A bench document: several instruments by role, each with its own list of states. "
        "Bench states are captured from every instrument at once and restored in the bench's "
        "order; each restore first keeps the instrument's setup, so it can be put back.")
        .def(py::init<>(), "A new bench without instruments; give save() a file name.")
        .def_static(
            "open",
            [](const QString &location, const std::optional<py::dict> &instruments) {
                PythonBench::Instruments given = instrumentsOf(instruments);
                py::gil_scoped_release release;
                return PythonBench::open(location, std::move(given));
            },
            py::arg("path"), py::arg("instruments") = std::nullopt,
            "Reads a bench document from a file or a setup library's address. Each role's "
            "instrument is opened from its resource when "
            "first needed, unless instruments maps the role to an instrument object.")
        .def("save", &PythonBench::save, Release(), py::arg("path") = QString(),
             "Saves the document with the setups kept for undo_restore(): without a path where "
             "it came from (a library gets the changes since it was read), else to that file.")
        .def_property_readonly("path", &PythonBench::location,
                               "The document's file name or library address.")
        .def_property_readonly("roles", &PythonBench::roles, "The roles, in the bench's order.")
        .def_property_readonly("names", &PythonBench::names, "The names of the bench states.")
        .def(
            "instrument",
            [](PythonBench &bench, const QString &role) {
                SetupInterfaceRef instrument;
                {
                    py::gil_scoped_release release;
                    instrument = bench.instrument(role);
                }
                return PythonValues::fromSetupInterface(instrument);
            },
            py::arg("role"), "The instrument of a role.")
        .def(
            "add_role",
            [](PythonBench &bench, const QString &role, const QString &resource,
               const QString &profile, py::handle instrument) {
                bench.addRole(role, resource, profile, PythonValues::toSetupInterface(instrument));
            },
            py::arg("role"), py::arg("resource") = QString(), py::arg("profile") = QString(),
            py::arg("instrument") = py::none(),
            "Adds an instrument at the end of the bench: by its VISA resource (and profile), "
            "or as an instrument object.")
        .def("capture", &PythonBench::capture, Release(), py::arg("name"),
             py::arg("description") = QString(),
             "Captures every instrument at once as bench state name. When one fails, no list "
             "changes and AutomationError names the role, its resource and the error.")
        .def(
            "restore",
            [](PythonBench &bench, const QString &name) {
                BenchReport report;
                {
                    py::gil_scoped_release release;
                    report = bench.restore(name);
                }
                return resultsOf(report);
            },
            py::arg("name"),
            "Restores bench state name role by role and returns each role's outcome. A role "
            "that fails stops the restore and raises AutomationError with every role's outcome; "
            "undo_restore() then puts back the roles already restored.")
        .def("undo_restore", &PythonBench::undoRestore, Release(), py::arg("roles") = QStringList(),
             "Puts back the setups the instruments had before the last restore (of the roles "
             "given, or of every role it reached) and returns the roles put back.")
        .def("__repr__", [](const PythonBench &bench) {
            return QStringLiteral("<ixoinstrsetups.Bench %1: %2>")
                .arg(bench.location(), bench.roles().join(QStringLiteral(", ")));
        });
}

} // namespace ixo::python
