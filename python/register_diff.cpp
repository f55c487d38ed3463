#include "AutomationObject.h"
#include "PythonDocument.h"
#include "PythonValues.h"
#include "Registration.h"
#include "instruments/StateDiff.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <string>

namespace ixo::python {

namespace {

QVariant diffData(py::handle value) {
    if (py::isinstance<AutomationObject>(value))
        return PythonValues::toVariant(
            value.cast<const AutomationObject &>().get(QStringLiteral("data")));
    if (py::isinstance<py::str>(value) || py::hasattr(value, "__fspath__")) {
        const QString reference =
            py::str(py::module_::import("os").attr("fspath")(value)).cast<QString>();
        py::gil_scoped_release release;
        return PythonDocument::dataOf(reference);
    }
    return PythonValues::toVariant(value);
}

} // namespace

void register_diff(py::module_ &module) {
    py::class_<StateDiff>(module, "StateDiff",
                          "The differences between the data of two states: SCPI text line by "
                          "line, anything else as byte ranges.")
        .def_property_readonly("same", &StateDiff::same, "True when the data are the same.")
        .def_property_readonly("is_text", py::overload_cast<>(&StateDiff::isText, py::const_),
                               "Compared as text lines.")
        .def_property_readonly(
            "lines",
            [](const StateDiff &diff) {
                py::list lines;
                for (const StateDiff::Line &line : diff.lines())
                    lines.append(py::make_tuple(std::string(1, line.op), line.text));
                return lines;
            },
            "('-', line) only in the first, ('+', line) only in the second.")
        .def_property_readonly(
            "ranges",
            [](const StateDiff &diff) {
                py::list ranges;
                for (const StateDiff::Range &range : diff.ranges())
                    ranges.append(py::make_tuple(range.begin, range.end));
                return ranges;
            },
            "(begin, end) byte ranges that differ, end one past the last.")
        .def(
            "to_json",
            [](const StateDiff &diff) {
                const QByteArray json = QJsonDocument(diff.toJson()).toJson(QJsonDocument::Compact);
                return py::module_::import("json").attr("loads")(py::str(json.constData()));
            },
            "The differences as ixo-states diff --json gives them.")
        .def("__str__", [](const StateDiff &diff) { return diff.toText().join(QLatin1Char('\n')); })
        .def("__bool__", [](const StateDiff &diff) { return !diff.same(); });
    module.def(
        "diff",
        [](py::handle first, py::handle second) {
            const QVariant a = diffData(first);
            const QVariant b = diffData(second);
            py::gil_scoped_release release;
            return StateDiff::compare(a, b);
        },
        py::arg("a"), py::arg("b"),
        "Compares two states as ixo-states diff does. Each is a state object, a state file, "
        "'<document>:<name>', or data (bytes, str).");
}

} // namespace ixo::python
