#include "RunApp.h"

#include "GilSafeObject.h"
#include "PythonApplication.h"
#include "PythonSetupInterface.h"
#include "PythonValues.h"
#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/widgets/Interaction.h"
#include "desktop/ConsoleInteraction.h"
#include "desktop/InstrumentConnection.h"
#include "desktop/MainWindow.h"
#include "instruments/ScpiInstrument.h"

#include <QApplication>

namespace ixo::python {

namespace {

const QString kRunAppSource = QStringLiteral("ixoinstrsetups.run_app");

// A built-in instrument shows its SCPI settings; a Python one those of its optional
// Settings() and WriteSetting(header, value).
InstrumentSettings settingsOf(const SetupInterfaceRef &setup, py::handle instrument) {
    if (auto scpi = std::dynamic_pointer_cast<ScpiInstrument>(setup))
        return InstrumentConnection::settingsOf(scpi);
    const auto held =
        std::make_shared<GilSafeObject>(py::reinterpret_borrow<py::object>(instrument));
    InstrumentSettings settings;
    settings.read = [held]() {
        py::gil_scoped_acquire gil;
        const py::object *object = &held->get();
        QMap<QString, QString> values;
        if (!py::hasattr(*object, "Settings"))
            return values;
        try {
            const py::dict read = object->attr("Settings")();
            for (const auto &[header, value] : read)
                values.insert(py::str(header).cast<QString>(), py::str(value).cast<QString>());
        } catch (py::error_already_set &error) {
            PythonSetupInterface::rethrow(error, QStringLiteral("Settings"));
        }
        return values;
    };
    settings.write = [held](const QString &header, const QString &value) {
        py::gil_scoped_acquire gil;
        const py::object *object = &held->get();
        if (!py::hasattr(*object, "WriteSetting"))
            throw AutomationError(ErrorNumber::NotImplemented, kRunAppSource,
                                  QStringLiteral("The instrument has no WriteSetting"));
        try {
            object->attr("WriteSetting")(header, value);
        } catch (py::error_already_set &error) {
            PythonSetupInterface::rethrow(error, QStringLiteral("WriteSetting"));
        }
    };
    return settings;
}

} // namespace

int RunApp::run(py::handle instrument, py::handle document, py::handle screenshot) {
    PythonApplication::instance();
    const SetupInterfaceRef setup = PythonValues::toSetupInterface(instrument);
    if (!setup)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kRunAppSource);
    const QString picture = screenshot.is_none() ? QString() : py::str(screenshot).cast<QString>();
    InteractionRef previous;
    if (!picture.isEmpty())
        previous = Interaction::setCurrent(std::make_shared<ConsoleInteraction>());
    const InstrumentSettings settings = settingsOf(setup, instrument);
    const QString documentPath = document.is_none() ? QString() : py::str(document).cast<QString>();
    // The window asks the instrument from a thread of its own, which takes the GIL for a
    // Python instrument: the GIL stays released for as long as the window lives.
    py::gil_scoped_release release;
    MainWindow window(setup, settings);
    if (!documentPath.isEmpty() && !window.openDocument(documentPath))
        throw AutomationError(ErrorNumber::InvalidFileFormat, kRunAppSource,
                              QStringLiteral("Could not open %1").arg(documentPath));
    window.show();
    if (!picture.isEmpty()) {
        QApplication::processEvents();
        const bool saved = window.grab().save(picture);
        Interaction::setCurrent(previous);
        if (!saved)
            throw AutomationError(ErrorNumber::PathFileAccess, kRunAppSource,
                                  QStringLiteral("Could not write %1").arg(picture));
        return 0;
    }
    return QApplication::exec();
}

} // namespace ixo::python
