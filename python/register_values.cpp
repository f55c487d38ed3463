#include "PythonValues.h"
#include "Registration.h"
#include "automation/VariantType.h"

#include <limits>
#include <string>

namespace ixo::python {

namespace {

template <typename T> T checkedInteger(const py::object &value) {
    return static_cast<T>(PythonValues::checkedInteger(
        py::int_(value), std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

} // namespace

void register_values(py::module_ &module) {
    py::class_<IntegerValue>(module, "Integer",
                             "An automation Integer: a 16-bit signed whole number.")
        .def(py::init([](const py::object &value) {
                 return IntegerValue{checkedInteger<std::int16_t>(value)};
             }),
             py::arg("value") = py::int_(0), "Raises AutomationError 6 outside -32768..32767.")
        .def_readonly("value", &IntegerValue::value, "The number as a Python int.")
        .def("__int__", [](const IntegerValue &self) { return self.value; })
        .def("__index__", [](const IntegerValue &self) { return self.value; })
        .def("__eq__",
             [](const IntegerValue &a, const IntegerValue &b) { return a.value == b.value; })
        .def("__hash__", [](const IntegerValue &self) { return py::hash(py::int_(self.value)); })
        .def("__repr__", [](const IntegerValue &self) {
            return "Integer(" + std::to_string(self.value) + ")";
        });
    py::class_<SingleValue>(module, "Single",
                            "An automation Single: a 32-bit floating-point number.")
        .def(py::init([](double value) { return SingleValue{static_cast<float>(value)}; }),
             py::arg("value") = 0.0, "Keeps the value rounded to 32 bits.")
        .def_property_readonly(
            "value", [](const SingleValue &self) { return double(self.value); },
            "The number as a Python float.")
        .def("__float__", [](const SingleValue &self) { return double(self.value); })
        .def("__eq__",
             [](const SingleValue &a, const SingleValue &b) { return a.value == b.value; })
        .def("__hash__", [](const SingleValue &self) { return py::hash(py::float_(self.value)); })
        .def("__repr__", [](const SingleValue &self) {
            return "Single(" + std::string(py::repr(py::float_(self.value))) + ")";
        });
    py::class_<ByteValue>(module, "Byte", "An automation Byte: a whole number 0..255.")
        .def(py::init([](const py::object &value) {
                 return ByteValue{checkedInteger<std::uint8_t>(value)};
             }),
             py::arg("value") = py::int_(0), "Raises AutomationError 6 outside 0..255.")
        .def_readonly("value", &ByteValue::value, "The number as a Python int.")
        .def("__int__", [](const ByteValue &self) { return self.value; })
        .def("__index__", [](const ByteValue &self) { return self.value; })
        .def("__eq__", [](const ByteValue &a, const ByteValue &b) { return a.value == b.value; })
        .def("__hash__", [](const ByteValue &self) { return py::hash(py::int_(self.value)); })
        .def("__repr__",
             [](const ByteValue &self) { return "Byte(" + std::to_string(self.value) + ")"; });
    py::class_<LongLongValue>(module, "LongLong",
                              "An automation LongLong (64-bit) whose value would fit a Long; "
                              "larger Python ints are LongLong by themselves.")
        .def(py::init([](const py::object &value) {
                 return LongLongValue{checkedInteger<std::int64_t>(value)};
             }),
             py::arg("value") = py::int_(0), "Raises AutomationError 6 beyond 64 bits.")
        .def_readonly("value", &LongLongValue::value, "The number as a Python int.")
        .def("__int__", [](const LongLongValue &self) { return self.value; })
        .def("__index__", [](const LongLongValue &self) { return self.value; })
        .def("__eq__",
             [](const LongLongValue &a, const LongLongValue &b) { return a.value == b.value; })
        .def("__hash__", [](const LongLongValue &self) { return py::hash(py::int_(self.value)); })
        .def("__repr__", [](const LongLongValue &self) {
            return "LongLong(" + std::to_string(self.value) + ")";
        });
    py::class_<NullValue>(module, "Null",
                          "The automation Null: no valid data (None stands for Empty).")
        .def(py::init<>())
        .def("__eq__", [](const NullValue &, const NullValue &) { return true; })
        .def("__hash__", [](const NullValue &) { return 1; })
        .def("__bool__", [](const NullValue &) { return false; })
        .def("__repr__", [](const NullValue &) { return "Null()"; });
    module.def(
        "type_name",
        [](py::handle value) {
            return variantTypeName(variantTypeOf(PythonValues::toVariant(value)));
        },
        py::arg("value"),
        "The automation type a Python value maps to: 'Long', 'Double', 'Byte()' ...");
}

} // namespace ixo::python
