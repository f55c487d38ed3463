#include "PythonValues.h"
#include "Registration.h"
#include "instruments/InstrumentFactory.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ScpiInstrument.h"

#include <optional>
#include <pybind11/stl.h>

namespace ixo::python {

namespace {

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

} // namespace

void register_instruments(py::module_ &module) {
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

} // namespace ixo::python
