#include "AutomationObject.h"
#include "GilSafeObject.h"
#include "PythonApplication.h"
#include "PythonSetupInterface.h"
#include "Registration.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "control/InstrumentState.h"

#include <QDialog>
#include <pybind11/functional.h>
#include <vector>

namespace ixo::python {

void register_control(py::module_ &module) {
    module.def(
        "InstrumentState",
        [] {
            PythonApplication::instance();
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

} // namespace ixo::python
