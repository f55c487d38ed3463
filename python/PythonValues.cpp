#include "PythonValues.h"

#include "AutomationObject.h"
#include "PythonSetupInterface.h"
#include "automation/AutomationError.h"
#include "automation/Collection.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"

#include <QDateTime>
#include <QObject>
#include <cmath>
#include <limits>

namespace ixo::python {

namespace {

const QString kPythonValuesSource = QStringLiteral("ixoinstrsetups");

[[noreturn]] void typeMismatch(py::handle value) {
    throw AutomationError(
        ErrorNumber::TypeMismatch, kPythonValuesSource,
        QStringLiteral("Type mismatch: a Python %1 has no automation type")
            .arg(QString::fromStdString(py::str(py::type::handle_of(value).attr("__name__")))));
}

[[noreturn]] void overflow() {
    throw AutomationError::standard(ErrorNumber::Overflow, kPythonValuesSource);
}

QVariant integerOf(py::handle value) {
    const qint64 number = PythonValues::checkedInteger(value, std::numeric_limits<qint64>::min(),
                                                       std::numeric_limits<qint64>::max());
    if (number >= std::numeric_limits<qint32>::min() &&
        number <= std::numeric_limits<qint32>::max())
        return QVariant(static_cast<int>(number));
    return QVariant(static_cast<qlonglong>(number));
}

// Naive datetimes are local time, as the automation Date is; the value keeps milliseconds.
QVariant dateOf(py::handle value) {
    py::module_ datetime = py::module_::import("datetime");
    py::object moment = py::reinterpret_borrow<py::object>(value);
    if (!py::isinstance(value, datetime.attr("datetime")))
        moment = datetime.attr("datetime").attr("combine")(value, datetime.attr("time")());
    const double seconds = moment.attr("timestamp")().cast<double>();
    return QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::llround(seconds * 1000.0)));
}

py::object pythonDate(const QDateTime &date) {
    py::module_ datetime = py::module_::import("datetime");
    const qint64 ms = date.toMSecsSinceEpoch();
    const qint64 seconds = ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
    return datetime.attr("datetime").attr("fromtimestamp")(seconds) +
           datetime.attr("timedelta")(py::arg("milliseconds") = ms - seconds * 1000);
}

py::object objectOf(const ObjectRef &object) {
    if (!object)
        return py::none();
    return py::cast(AutomationObject(object));
}

py::list listOf(const QVariantList &values) {
    py::list list;
    for (const QVariant &element : values)
        list.append(PythonValues::toPython(element));
    return list;
}

} // namespace

std::int64_t PythonValues::checkedInteger(py::handle value, std::int64_t min, std::int64_t max) {
    int overflowed = 0;
    const long long number = PyLong_AsLongLongAndOverflow(value.ptr(), &overflowed);
    if (overflowed != 0 || number < min || number > max)
        overflow();
    return number;
}

QVariant PythonValues::toVariant(py::handle value) {
    return toVariantAt(value, 0);
}

QVariant PythonValues::toVariantAt(py::handle value, int depth) {
    if (depth > kMaxDepth)
        throw AutomationError(ErrorNumber::TypeMismatch, kPythonValuesSource,
                              QStringLiteral("Arrays are nested too deeply"));
    if (value.is_none())
        return {};
    if (py::isinstance<NullValue>(value))
        return QVariant::fromValue(nullptr);
    if (py::isinstance<IntegerValue>(value))
        return QVariant::fromValue<short>(value.cast<IntegerValue>().value);
    if (py::isinstance<SingleValue>(value))
        return QVariant::fromValue<float>(value.cast<SingleValue>().value);
    if (py::isinstance<ByteValue>(value))
        return QVariant::fromValue<uchar>(value.cast<ByteValue>().value);
    if (py::isinstance<LongLongValue>(value))
        return QVariant::fromValue<qlonglong>(value.cast<LongLongValue>().value);
    if (PyBool_Check(value.ptr()))
        return QVariant(value.ptr() == Py_True);
    if (PyLong_Check(value.ptr()))
        return integerOf(value);
    if (PyFloat_Check(value.ptr()))
        return QVariant(PyFloat_AsDouble(value.ptr()));
    if (PyUnicode_Check(value.ptr()))
        return QVariant(value.cast<QString>());
    if (PyBytes_Check(value.ptr()) || PyByteArray_Check(value.ptr()) ||
        PyMemoryView_Check(value.ptr())) {
        const std::string bytes = py::bytes(py::reinterpret_borrow<py::object>(value));
        return QVariant(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    if (PyList_Check(value.ptr()) || PyTuple_Check(value.ptr())) {
        QVariantList elements;
        for (py::handle element : value)
            elements.append(toVariantAt(element, depth + 1));
        return elements;
    }
    py::module_ datetime = py::module_::import("datetime");
    if (py::isinstance(value, datetime.attr("date")))
        return dateOf(value);
    if (py::isinstance<AutomationObject>(value))
        return value.cast<const AutomationObject &>().toVariant();
    if (py::isinstance<PropertyBag>(value))
        return QVariant::fromValue(value.cast<PropertyBag *>());
    if (isSetupInterface(value))
        return QVariant::fromValue(toSetupInterface(value));
    typeMismatch(value);
}

py::object PythonValues::toPython(const QVariant &value) {
    switch (variantTypeOf(value)) {
    case VariantType::Empty:
        return py::none();
    case VariantType::Null:
        return py::cast(NullValue{});
    case VariantType::Boolean:
        return py::bool_(value.toBool());
    case VariantType::Byte:
        return py::cast(ByteValue{value.value<uchar>()});
    case VariantType::Integer:
        return py::cast(IntegerValue{value.value<short>()});
    case VariantType::Long:
        return py::int_(value.toInt());
    case VariantType::LongLong: {
        const qlonglong number = value.toLongLong();
        if (number >= std::numeric_limits<qint32>::min() &&
            number <= std::numeric_limits<qint32>::max())
            return py::cast(LongLongValue{number});
        return py::int_(number);
    }
    case VariantType::Single:
        return py::cast(SingleValue{value.toFloat()});
    case VariantType::Double:
        return py::float_(value.toDouble());
    case VariantType::Date:
        return pythonDate(value.toDateTime());
    case VariantType::String:
        return py::cast(value.toString());
    case VariantType::ByteArray: {
        const QByteArray bytes = value.toByteArray();
        return py::bytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    case VariantType::Array:
        return listOf(value.toList());
    case VariantType::Object:
        return objectOf(value.value<ObjectRef>());
    case VariantType::Unsupported:
        break;
    }
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<SetupInterfaceRef>())
        return fromSetupInterface(value.value<SetupInterfaceRef>());
    if (type == QMetaType::fromType<CollectionRef>())
        return objectOf(value.value<CollectionRef>());
    if (type == QMetaType::fromType<QObjectList>()) {
        py::list list;
        for (QObject *object : value.value<QObjectList>())
            list.append(py::cast(AutomationObject::borrowed(object)));
        return list;
    }
    if (type.flags().testFlag(QMetaType::PointerToQObject)) {
        QObject *object = *static_cast<QObject *const *>(value.constData());
        return object ? py::cast(AutomationObject::borrowed(object)) : py::none();
    }
    if (type == QMetaType::fromType<QStringList>())
        return py::cast(value.toStringList());
    if (value.canConvert<qlonglong>() && type.flags().testFlag(QMetaType::IsEnumeration))
        return py::int_(value.toLongLong());
    if (value.canConvert<QString>())
        return py::cast(value.toString());
    throw AutomationError(ErrorNumber::TypeMismatch, kPythonValuesSource,
                          QStringLiteral("Type mismatch: %1 has no Python type")
                              .arg(QString::fromLatin1(type.name())));
}

bool PythonValues::isSetupInterface(py::handle value) {
    if (py::isinstance<SetupInterface>(value))
        return true;
    for (const char *member : {"Model", "Version", "CaptureState", "RestoreState"}) {
        if (!py::hasattr(value, member))
            return false;
    }
    return !py::isinstance<AutomationObject>(value);
}

SetupInterfaceRef PythonValues::toSetupInterface(py::handle value) {
    if (value.is_none())
        return {};
    if (py::isinstance<SetupInterface>(value))
        return value.cast<SetupInterfaceRef>();
    if (!isSetupInterface(value))
        throw AutomationError(
            ErrorNumber::TypeMismatch, kPythonValuesSource,
            QStringLiteral("%1 is no instrument: it needs Model, Version, CaptureState and "
                           "RestoreState")
                .arg(QString::fromStdString(py::str(py::type::handle_of(value).attr("__name__")))));
    return std::make_shared<PythonSetupInterface>(py::reinterpret_borrow<py::object>(value));
}

py::object PythonValues::fromSetupInterface(const SetupInterfaceRef &setup) {
    if (!setup)
        return py::none();
    if (const auto *python = dynamic_cast<PythonSetupInterface *>(setup.get()))
        return python->implementation();
    return py::cast(setup);
}

} // namespace ixo::python
