#include "AutomationObject.h"
#include "PythonValues.h"
#include "Registration.h"
#include "automation/ClassRegistry.h"
#include "automation/PropertyBag.h"

namespace ixo::python {

namespace {

void registerObject(py::module_ &module) {
    py::class_<AutomationObject>(
        module, "Object",
        "An automation object. Its properties and methods are reached by their automation "
        "names in any letter case: obj.Items.Count, obj.items.add(item, key), obj.Name = 'x'.")
        .def("__getattr__",
             [](const AutomationObject &self, const QString &member) -> py::object {
                 // Python's own protocols are no automation members.
                 if (member.startsWith(QLatin1Char('_')))
                     throw py::attribute_error(member.toStdString());
                 return self.get(member);
             })
        .def("__setattr__", &AutomationObject::set)
        .def("__dir__", &AutomationObject::members)
        .def("__eq__", &AutomationObject::operator==)
        .def("__hash__", &AutomationObject::hash)
        .def("__repr__", &AutomationObject::repr)
        .def("__len__",
             [](const AutomationObject &self) { return self.get(QStringLiteral("Count")); })
        .def("__getitem__",
             [](const AutomationObject &self, py::handle index) {
                 return self.invoke(QStringLiteral("Item"), py::make_tuple(index));
             })
        .def("__iter__",
             [](const AutomationObject &self) {
                 py::list items;
                 const int count = self.get(QStringLiteral("Count")).cast<int>();
                 for (int i = 1; i <= count; ++i)
                     items.append(self.invoke(QStringLiteral("Item"), py::make_tuple(i)));
                 return py::iter(items);
             })
        .def("find_child", &AutomationObject::findChild, py::arg("name"),
             "The child object (a button, a text box) of that Qt object name.")
        .def_property_readonly("prog_id", &AutomationObject::progId,
                               "The object's ProgID; empty for classes that have none.");
    module.def(
        "create",
        [](const QString &progId) {
            return AutomationObject(ClassRegistry::instance().create(progId));
        },
        py::arg("prog_id"),
        "A new object of a registered class by its ProgID, such as "
        "'IxoInstrSetups.StateInfo'. Raises AutomationError 429 for an unknown one.");
}

QString bagMember(const QString &member) {
    for (const char *name : {"WriteProperty", "ReadProperty", "Contents"}) {
        if (member.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    }
    throw py::attribute_error(member.toStdString());
}

void registerPropertyBag(py::module_ &module) {
    py::class_<PropertyBag, std::shared_ptr<PropertyBag>>(
        module, "PropertyBag",
        "A named-value store that keeps each value's exact automation type; names in any "
        "letter case. Objects write themselves into it with obj.WriteProperties(bag).")
        .def(py::init<>())
        .def(
            "WriteProperty",
            [](PropertyBag &bag, const QString &name, py::handle value) {
                bag.WriteProperty(name, PythonValues::toVariant(value));
            },
            py::arg("name"), py::arg("value"), "Stores a value with its automation type.")
        .def(
            "WriteProperty",
            [](PropertyBag &bag, const QString &name, py::handle value, py::handle defaultValue) {
                bag.WriteProperty(name, PythonValues::toVariant(value),
                                  PythonValues::toVariant(defaultValue));
            },
            py::arg("name"), py::arg("value"), py::arg("default"),
            "Stores a value unless it equals the default.")
        .def(
            "ReadProperty",
            [](const PropertyBag &bag, const QString &name) {
                return PythonValues::toPython(bag.ReadProperty(name));
            },
            py::arg("name"), "The stored value; an absent name raises AutomationError 327.")
        .def(
            "ReadProperty",
            [](const PropertyBag &bag, const QString &name, py::handle defaultValue) {
                return PythonValues::toPython(
                    bag.ReadProperty(name, PythonValues::toVariant(defaultValue)));
            },
            py::arg("name"), py::arg("default"), "The stored value, or the default when absent.")
        .def_property(
            "Contents",
            [](const PropertyBag &bag) {
                const QByteArray contents = bag.Contents();
                return py::bytes(contents.constData(), static_cast<std::size_t>(contents.size()));
            },
            [](PropertyBag &bag, const py::bytes &contents) {
                const std::string bytes = contents;
                bag.setContents(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
            },
            "The whole bag as bytes (a CBOR document); assigning bytes made so fills it.")
        .def("names", &PropertyBag::names, "The names of the stored values, in order.")
        .def("__len__", &PropertyBag::count)
        .def("__contains__", &PropertyBag::contains)
        // The members in any letter case, as for automation objects.
        .def("__getattr__",
             [](py::object self, const QString &member) -> py::object {
                 return self.attr(bagMember(member).toStdString().c_str());
             })
        .def("__setattr__", [](py::object self, const QString &member, py::object value) {
            py::module_::import("builtins")
                .attr("object")
                .attr("__setattr__")(self, bagMember(member), value);
        });
}

} // namespace

void register_objects(py::module_ &module) {
    registerObject(module);
    registerPropertyBag(module);
}

} // namespace ixo::python
