#include "AutomationObject.h"
#include "PythonDocument.h"
#include "PythonValues.h"
#include "Registration.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "support/StateFile.h"

#include <optional>
#include <pybind11/stl.h>

namespace ixo::python {

namespace {

AutomationObject stateObject(const std::shared_ptr<ItemStateInfo> &state) {
    return AutomationObject(state);
}

SetupInterfaceRef instrumentOf(py::handle instrument) {
    SetupInterfaceRef setup = PythonValues::toSetupInterface(instrument);
    if (!setup)
        throw AutomationError(ErrorNumber::ObjectNotSet, QStringLiteral("ixoinstrsetups.Document"),
                              QStringLiteral("No instrument given"));
    return setup;
}

void registerDocument(py::module_ &module) {
    using Document = PythonDocument;
    py::class_<Document, std::shared_ptr<Document>>(
        module, "Document",
        "A host document (.ixs) with its list of saved states. Iterating gives the states "
        "(objects with name, description, model, version and data); editing follows the "
        "control's rules and raises AutomationError with the control's messages.")
        .def(py::init<>(), "A new, empty document; give save() a file name.")
        .def_static(
            "open",
            [](const QString &location, std::optional<QString> role) {
                py::gil_scoped_release release;
                return Document::open(location, role.value_or(QString()));
            },
            py::arg("path"), py::arg("role") = std::nullopt,
            "Reads a document from a file or a setup library (sqlite:PATH?document=NAME, "
            "postgresql://[user@]host[:port]/database?document=NAME); AutomationError 53, 75 or "
            "321 if it cannot, 68 for a library server that cannot be reached. The states are "
            "those of the document's only instrument, or of the role named on a bench.")
        .def(
            "save",
            [](Document &document, std::optional<QString> fileName) {
                py::gil_scoped_release release;
                document.save(fileName.value_or(QString()));
            },
            py::arg("path") = std::nullopt,
            "Without a path, saves the document where it came from: its file, written "
            "atomically, or its library, which gets the changes since it was read; a state "
            "another station changed since then raises AutomationError 3197 naming who and "
            "when, and nothing is written. Given a path, writes the file, where the document "
            "lives from then on.")
        .def_property_readonly("path", &Document::location,
                               "The document's file name or library address.")
        .def_property_readonly(
            "state_info",
            [](const Document &document) { return AutomationObject(document.role().stateInfo()); },
            "The IxoInstrSetups.StateInfo object behind the list.")
        .def("__len__", [](const Document &document) { return document.role().count(); })
        .def("__iter__",
             [](const Document &document) {
                 py::list states;
                 for (const auto &state : document.role().states())
                     states.append(stateObject(state));
                 return py::iter(states);
             })
        .def(
            "__getitem__",
            [](const Document &document, const QString &name) {
                return stateObject(document.role().state(name));
            },
            py::arg("name"))
        .def(
            "__contains__",
            [](const Document &document, const QString &name) {
                return document.role().stateInfo()->Items()->containsKey(name);
            },
            py::arg("name"))
        .def(
            "capture",
            [](Document &document, py::handle instrument, std::optional<QString> name,
               const QString &description) {
                const SetupInterfaceRef setup = instrumentOf(instrument);
                std::shared_ptr<ItemStateInfo> state;
                {
                    py::gil_scoped_release release;
                    state = document.role().capture(*setup, name, description);
                }
                return stateObject(state);
            },
            py::arg("instrument"), py::arg("name") = std::nullopt,
            py::arg("description") = QString(),
            "Captures the instrument's setup as a new state (named 'State <n>' unless given a "
            "name); a name already in the list raises AutomationError 457.")
        .def(
            "restore",
            [](Document &document, py::handle instrument, const QString &name) {
                const SetupInterfaceRef setup = instrumentOf(instrument);
                py::gil_scoped_release release;
                document.restore(*setup, name);
            },
            py::arg("instrument"), py::arg("name"),
            "Sends a state back to the instrument, first keeping its present setup for "
            "undo_restore() (saved with the document); a state of another model or version "
            "raises AutomationError 5 with the control's message.")
        .def(
            "undo_restore",
            [](Document &document, py::handle instrument) {
                const SetupInterfaceRef setup = instrumentOf(instrument);
                py::gil_scoped_release release;
                return document.role().undoRestore(*setup).replacedBy;
            },
            py::arg("instrument"),
            "Puts back the setup the instrument had before its last restore and returns the "
            "name of the state that restore sent; AutomationError 5 when none is kept.")
        .def(
            "rename",
            [](Document &document, const QString &name, const QString &newName,
               const std::optional<QString> &description) {
                document.role().rename(name, newName, description);
            },
            py::arg("name"), py::arg("new_name"), py::arg("description") = std::nullopt,
            "Renames a state (it moves to the end of the list) and optionally changes its "
            "description; a name taken raises AutomationError 457.")
        .def(
            "remove", [](Document &document, const QString &name) { document.role().remove(name); },
            py::arg("name"), "Removes a state.")
        .def(
            "export_state",
            [](const Document &document, const QString &name, const QString &fileName) {
                py::gil_scoped_release release;
                document.role().exportState(name, fileName);
            },
            py::arg("name"), py::arg("path"), "Writes a state to a state file (.sta).")
        .def(
            "import_state",
            [](Document &document, const QString &fileName, py::handle instrument,
               std::optional<QString> name) {
                const SetupInterfaceRef setup = instrumentOf(instrument);
                std::shared_ptr<ItemStateInfo> state;
                {
                    py::gil_scoped_release release;
                    state = document.importState(fileName, *setup, name);
                }
                return stateObject(state);
            },
            py::arg("path"), py::arg("instrument"), py::arg("name") = std::nullopt,
            "Adds the state of a state file, or of the instrument's legacy setup file. Raises "
            "AutomationError 321 for a file that is neither, 5 for a state of another "
            "instrument and 457 for a name already in the list.")
        .def("__repr__", [](const Document &document) {
            return QStringLiteral("<ixoinstrsetups.Document %1, %2 states>")
                .arg(document.location().isEmpty() ? QStringLiteral("(new)") : document.location())
                .arg(document.role().count());
        });
}

void registerStateFile(py::module_ &module) {
    struct StateFiles {};
    py::class_<StateFiles>(module, "StateFile",
                           "State files (.sta): one object, such as a saved state, per file.")
        .def_static(
            "save",
            [](const AutomationObject &object, const QString &fileName) {
                const ObjectRef owner = object.owner();
                py::gil_scoped_release release;
                StateFile().SaveObject(owner, fileName);
            },
            py::arg("object"), py::arg("path"),
            "Writes the object to a state file, atomically: on failure an existing file keeps "
            "its contents.")
        .def_static(
            "load",
            [](const QString &fileName, const QString &progId) {
                ObjectRef object;
                {
                    py::gil_scoped_release release;
                    object = StateFile().LoadObject(progId, fileName);
                }
                return AutomationObject(object);
            },
            py::arg("path"), py::arg("prog_id") = StateImport::kItemProgId,
            "Reads the object of a state file; AutomationError 321 for a file that is none.");
}

} // namespace

void register_document(py::module_ &module) {
    registerDocument(module);
    registerStateFile(module);
}

} // namespace ixo::python
