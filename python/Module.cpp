#include "AutomationObject.h"
#include "GilSafeObject.h"
#include "PythonDocument.h"
#include "PythonSetupInterface.h"
#include "PythonValues.h"
#include "QtCasters.h"
#include "RunApp.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/PropertyBag.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "control/InstrumentState.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/StateDiff.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"
#include "support/StateFile.h"

#include <QApplication>
#include <QDialog>
#include <QJsonDocument>
#include <pybind11/eval.h>
#include <pybind11/functional.h>
#include <pybind11/stl.h>

namespace py = pybind11;

namespace ixo::python {

namespace {

const QString kSource = QStringLiteral("ixoinstrsetups");

// The Python parts: the exception class with the automation fields, and the base class
// a Python instrument may derive from for its documentation and defaults.
const char kPythonParts[] = R"py(
class AutomationError(Exception):
    """A failure of the library or of an instrument: number, source and description,
    as the automation error of the same number."""

    def __init__(self, number, source, description):
        super().__init__(description)
        self.number = number
        self.source = source
        self.description = description

    def __str__(self):
        return self.description

    def __repr__(self):
        return "AutomationError(%d, %r, %r)" % (self.number, self.source, self.description)


class SetupInterface:
    """The link to an instrument, implemented in Python. Derive from it (or give any
    class the same members) and pass an instance wherever an instrument goes:
    Document.capture, Document.restore, StateInfo.SetupInterface, run_app. Exceptions
    raised here reach C++ as AutomationErrors with their message."""

    def Model(self):
        """The instrument's model, as states record it."""
        raise NotImplementedError("Model")

    def Version(self):
        """The instrument's firmware version, as states record it."""
        raise NotImplementedError("Version")

    def CaptureState(self):
        """The instrument's current setup: a str, bytes or any automation value."""
        raise NotImplementedError("CaptureState")

    def RestoreState(self, state):
        """Sends a setup captured before back to the instrument."""
        raise NotImplementedError("RestoreState")

    def ImportLegacyFile(self, file_name, prog_id):
        """A new object of prog_id (ixoinstrsetups.create) filled from another program's
        setup file, or None when the file is none of those."""
        return None
)py";

PyObject *gAutomationError = nullptr;

QApplication &application() {
    static int argc = 1;
    static char name[] = "ixoinstrsetups";
    static char *argv[] = {name, nullptr};
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return *existing;
    // Scripts run headless too: without a display the window system is offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lives as long as the process: Qt must outlast every object Python still holds.
    static auto *app = new QApplication(argc, argv);
    return *app;
}

void bindErrors(py::module_ &module) {
    py::dict scope = module.attr("__dict__");
    py::exec(kPythonParts, scope, scope);
    for (const char *name : {"AutomationError", "SetupInterface"})
        module.attr(name).attr("__module__") = "ixoinstrsetups";
    gAutomationError = module.attr("AutomationError").ptr();
    Py_INCREF(gAutomationError);
    py::register_exception_translator([](std::exception_ptr pointer) {
        try {
            if (pointer)
                std::rethrow_exception(pointer);
        } catch (const AutomationError &error) {
            py::object instance = py::reinterpret_borrow<py::object>(gAutomationError)(
                error.number(), error.source(), error.description());
            PyErr_SetObject(gAutomationError, instance.ptr());
        }
    });
    module.def(
        "raise_error",
        [](std::int32_t number, const QString &source, const QString &description) {
            if (description.isEmpty())
                throw AutomationError::standard(number, source);
            throw AutomationError(number, source, description);
        },
        py::arg("number"), py::arg("source") = kSource, py::arg("description") = QString(),
        "Raises an AutomationError from C++; without a description the standard one of the "
        "number.");
}

QString bagMember(const QString &member) {
    for (const char *name : {"WriteProperty", "ReadProperty", "Contents"}) {
        if (member.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    }
    throw py::attribute_error(member.toStdString());
}

void bindPropertyBag(py::module_ &module) {
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

void bindStateFile(py::module_ &module) {
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

py::dict identityOf(ScpiInstrument &instrument) {
    ScpiInstrument::Identity identity;
    {
        py::gil_scoped_release release;
        identity = instrument.identity();
    }
    py::dict result;
    result["manufacturer"] = identity.manufacturer;
    result["model"] = identity.model;
    result["serial"] = identity.serial;
    result["firmware"] = identity.firmware;
    return result;
}

void bindInstruments(py::module_ &module) {
    using Release = py::call_guard<py::gil_scoped_release>;
    py::class_<SetupInterface, std::shared_ptr<SetupInterface>>(module, "BuiltinSetupInterface",
                                                                "An instrument implemented in C++.")
        .def("Model", &SetupInterface::Model, Release(), "The instrument's model.")
        .def("Version", &SetupInterface::Version, Release(), "The instrument's firmware version.")
        .def(
            "CaptureState",
            [](SetupInterface &setup) {
                QVariant state;
                {
                    py::gil_scoped_release release;
                    state = setup.CaptureState();
                }
                return PythonValues::toPython(state);
            },
            "The instrument's current setup.")
        .def(
            "RestoreState",
            [](SetupInterface &setup, py::handle state) {
                const QVariant value = PythonValues::toVariant(state);
                py::gil_scoped_release release;
                setup.RestoreState(value);
            },
            py::arg("state"), "Sends a captured setup back to the instrument.");
    py::class_<ScpiInstrument, SetupInterface, std::shared_ptr<ScpiInstrument>>(
        module, "Instrument",
        "The built-in SCPI client: Instrument('TCPIP::192.168.1.20::5025::SOCKET') or "
        "Instrument('SIM') for the simulated instrument in this process. Connects on first "
        "use; every exchange has a deadline (timeout, in milliseconds).")
        .def(py::init([](const QString &resource, std::optional<int> timeout,
                         std::optional<bool> verify, const QString &profile) {
                 auto instrument =
                     profile.isEmpty()
                         ? InstrumentFactory::open(resource)
                         : InstrumentFactory::open(resource, InstrumentProfiles::load(), profile);
                 if (timeout)
                     instrument->setTimeout(*timeout);
                 if (verify)
                     instrument->setVerifyRestore(*verify);
                 return instrument;
             }),
             py::arg("resource"), py::arg("timeout") = std::nullopt,
             py::arg("verify") = std::nullopt, py::arg("profile") = QString())
        .def_property("verify", &ScpiInstrument::verifiesRestore, &ScpiInstrument::setVerifyRestore,
                      "Whether each restore is checked by capturing again; settings that did "
                      "not take are named in warnings.")
        .def_property_readonly("warnings", &ScpiInstrument::warnings,
                               "The warnings of the last capture or restore.")
        .def_property_readonly(
            "profile", [](const ScpiInstrument &instrument) { return instrument.profile().name; },
            "The name of the instrument profile in use.")
        .def_property_readonly("resource_name", &ScpiInstrument::resourceName,
                               "The VISA resource string.")
        .def_property("timeout", &ScpiInstrument::timeout, &ScpiInstrument::setTimeout,
                      "The deadline of each exchange in milliseconds.")
        .def("identity", &identityOf,
             "The answer to *IDN?: a dict of manufacturer, model, serial and firmware.")
        .def(
            "query",
            [](ScpiInstrument &instrument, const QString &query) {
                QByteArray answer;
                {
                    py::gil_scoped_release release;
                    answer = instrument.query(query);
                }
                return QString::fromUtf8(answer);
            },
            py::arg("query"), "Sends a query and returns its answer line, without terminator.")
        .def("write", &ScpiInstrument::send, Release(), py::arg("commands"),
             "Sends commands; nothing is read back.")
        .def("read_errors", &ScpiInstrument::readErrors, Release(),
             "The instrument's error queue, read until '0,'.")
        .def("close", &ScpiInstrument::disconnect, Release(),
             "Closes the connection; the next call opens a new one.")
        .def("__repr__", [](const ScpiInstrument &instrument) {
            return QStringLiteral("Instrument(%1)").arg(instrument.resourceName());
        });
}

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

void bindDocument(py::module_ &module) {
    using Document = PythonDocument;
    py::class_<Document, std::shared_ptr<Document>>(
        module, "Document",
        "A host document (.ixs) with its list of saved states. Iterating gives the states "
        "(objects with name, description, model, version and data); editing follows the "
        "control's rules and raises AutomationError with the control's messages.")
        .def(py::init<>(), "A new, empty document; give save() a file name.")
        .def_static(
            "open",
            [](const QString &fileName) {
                py::gil_scoped_release release;
                return Document::open(fileName);
            },
            py::arg("path"), "Reads a document; AutomationError 53, 75 or 321 if it cannot.")
        .def(
            "save",
            [](Document &document, std::optional<QString> fileName) {
                py::gil_scoped_release release;
                document.save(fileName.value_or(QString()));
            },
            py::arg("path") = std::nullopt,
            "Writes the document atomically, to its own file unless given another.")
        .def_property_readonly("path", &Document::fileName, "The document's file name.")
        .def_property_readonly(
            "state_info",
            [](const Document &document) { return AutomationObject(document.stateInfo()); },
            "The IxoInstrSetups.StateInfo object behind the list.")
        .def("__len__", &Document::count)
        .def("__iter__",
             [](const Document &document) {
                 py::list states;
                 for (const auto &state : document.states())
                     states.append(stateObject(state));
                 return py::iter(states);
             })
        .def(
            "__getitem__",
            [](const Document &document, const QString &name) {
                return stateObject(document.state(name));
            },
            py::arg("name"))
        .def(
            "__contains__",
            [](const Document &document, const QString &name) {
                return document.stateInfo()->Items()->containsKey(name);
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
                    state = document.capture(*setup, name, description);
                }
                return stateObject(state);
            },
            py::arg("instrument"), py::arg("name") = std::nullopt,
            py::arg("description") = QString(),
            "Captures the instrument's setup as a new state (named 'State <n>' unless given a "
            "name); a name already in the list raises AutomationError 457.")
        .def(
            "restore",
            [](const Document &document, py::handle instrument, const QString &name) {
                const SetupInterfaceRef setup = instrumentOf(instrument);
                py::gil_scoped_release release;
                document.restore(*setup, name);
            },
            py::arg("instrument"), py::arg("name"),
            "Sends a state back to the instrument; a state of another model or version raises "
            "AutomationError 5 with the control's message.")
        .def("rename", &Document::rename, py::arg("name"), py::arg("new_name"),
             py::arg("description") = std::nullopt,
             "Renames a state (it moves to the end of the list) and optionally changes its "
             "description; a name taken raises AutomationError 457.")
        .def("remove", &Document::remove, py::arg("name"), "Removes a state.")
        .def(
            "export_state",
            [](const Document &document, const QString &name, const QString &fileName) {
                py::gil_scoped_release release;
                document.exportState(name, fileName);
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
                .arg(document.fileName().isEmpty() ? QStringLiteral("(new)") : document.fileName())
                .arg(document.count());
        });
}

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

void bindDiff(py::module_ &module) {
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

void bindControl(py::module_ &module) {
    module.def(
        "InstrumentState",
        [] {
            application();
            return AutomationObject(std::make_shared<InstrumentState>());
        },
        "A new saved-states control (IxoInstrSetups.InstrumentState), for scripted tests; "
        "give it a StateInfo with control.InstrumentStateInfo = state_info.");
    py::class_<ScriptedInteraction, std::shared_ptr<ScriptedInteraction>>(
        module, "ScriptedUser",
        "Answers the control's message boxes, file dialogs and forms in place of a user while "
        "installed: 'with ScriptedUser() as user: ...'. Unanswered boxes take their first "
        "button, file dialogs are cancelled and forms rejected.")
        .def(py::init<>())
        .def("answer_message_box", &ScriptedInteraction::answerMessageBox, py::arg("button"),
             "Queues the button (1 OK, 2 Cancel, 6 Yes, 7 No) the next box is answered with.")
        .def("answer_file_dialog", &ScriptedInteraction::answerFileDialog, py::arg("path"),
             "Queues the path the next file dialog returns ('' cancels).")
        .def(
            "answer_form",
            [](ScriptedInteraction &user, py::function script) {
                auto callable = std::make_shared<GilSafeObject>(std::move(script));
                user.answerModal([callable](QDialog &dialog) {
                    py::gil_scoped_acquire gil;
                    try {
                        const py::object result =
                            callable->get()(AutomationObject::borrowed(&dialog));
                        return result.is_none() ? 1 : result.cast<int>();
                    } catch (py::error_already_set &error) {
                        PythonSetupInterface::rethrow(error, QStringLiteral("ScriptedUser"));
                    }
                });
            },
            py::arg("script"),
            "Queues a function that plays the user on the next form: it gets the form "
            "(find_child('okBtn').click()) and returns its result code.")
        .def_property_readonly(
            "message_boxes",
            [](const ScriptedInteraction &user) {
                py::list boxes;
                for (const auto &box : user.messageBoxes())
                    boxes.append(py::make_tuple(box.text, box.style, box.title));
                return boxes;
            },
            "The message boxes shown so far: (text, style, title).")
        .def_property_readonly(
            "form_titles",
            [](const ScriptedInteraction &user) {
                return std::vector<QString>(user.modalTitles().begin(), user.modalTitles().end());
            },
            "The window titles of the forms shown so far.")
        .def("__enter__",
             [](const std::shared_ptr<ScriptedInteraction> &user) {
                 Interaction::setCurrent(user);
                 return user;
             })
        .def("__exit__", [](const std::shared_ptr<ScriptedInteraction> &, py::args) {
            Interaction::setCurrent({});
            return false;
        });
}

} // namespace

} // namespace ixo::python

PYBIND11_MODULE(ixoinstrsetups, module) {
    using namespace ixo::python;
    module.doc() = "IxoInstrSetups for Python: saved instrument setups in host documents and "
                   "state files, instruments written in Python, the desktop window.";
    application();
    ixo::TypeLibrary::registerServer();
    bindErrors(module);
    PythonValues::bind(module);
    AutomationObject::bind(module);
    bindPropertyBag(module);
    bindStateFile(module);
    bindInstruments(module);
    bindDocument(module);
    bindDiff(module);
    bindControl(module);
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
