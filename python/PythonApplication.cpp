#include "PythonApplication.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QApplication>

namespace ixo::python {

QApplication &PythonApplication::instance() {
    static int argc = 1;
    static char name[] = "ixoinstrsetups";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication *existing = QCoreApplication::instance()) {
        if (auto *gui = qobject_cast<QApplication *>(existing))
            return *gui;
        // Qt allows one application object, and a console one cannot show widgets.
        throw AutomationError(ErrorNumber::Fail, QStringLiteral("ixoinstrsetups"),
                              QStringLiteral("The window needs a QApplication"));
    }
    // Scripts run headless too: without a display the window system is offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lives as long as the process: Qt must outlast every object Python still holds.
    static auto *app = new QApplication(argc, argv);
    return *app;
}

} // namespace ixo::python
