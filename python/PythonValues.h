#pragma once

#include "QtCasters.h"
#include "support/SetupInterface.h"

#include <QVariant>
#include <cstdint>
#include <pybind11/pybind11.h>

namespace ixo::python {

namespace py = pybind11;

// The wrappers that give a Python value an automation type Python has no type for.
struct IntegerValue {
    std::int16_t value = 0;
};
struct SingleValue {
    float value = 0;
};
struct ByteValue {
    std::uint8_t value = 0;
};
struct LongLongValue {
    std::int64_t value = 0;
};
struct NullValue {};

// Python values and automation values, both ways, so that a value read and written back
// keeps its exact automation type. Conversions need the GIL.
class PythonValues {
public:
    // Raises error 13 for a value that has no automation type, 6 for an int beyond 64 bits.
    static QVariant toVariant(py::handle value);
    static py::object toPython(const QVariant &value);

    // The instrument a Python object stands for: a built-in Instrument or any object with the
    // SetupInterface members. None gives an empty reference.
    static SetupInterfaceRef toSetupInterface(py::handle value);
    static bool isSetupInterface(py::handle value);
    static py::object fromSetupInterface(const SetupInterfaceRef &setup);
    // The Python int value as a number in min..max; raises error 6 outside.
    static std::int64_t checkedInteger(py::handle value, std::int64_t min, std::int64_t max);

    static constexpr int kMaxDepth = 64;

private:
    static QVariant toVariantAt(py::handle value, int depth);
};

} // namespace ixo::python
