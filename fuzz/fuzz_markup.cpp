#include "automation/widgets/ScopedInteraction.h"
#include "automation/widgets/ScriptedInteraction.h"
#include "localization/CIxoResourcesAgent.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<QApplication> makeApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QApplication>(argc, argv);
}

// The application comes first: the widgets need it.
struct Fixture {
    std::unique_ptr<QApplication> app = makeApplication();
    std::shared_ptr<ixo::ScriptedInteraction> user = std::make_shared<ixo::ScriptedInteraction>();
    ixo::ScopedInteraction scope{user};
    ixo::CIxoResourcesAgent agent;
    QPushButton button;
    QLineEdit textBox;
};

} // namespace

// Applying any markup never throws or crashes; problems end in a message box at most.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    // Lives to the end of the process: the thread's interaction goes away before statics do.
    static Fixture &fixture = *new Fixture;
    const QString markup =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    fixture.agent.SetResourceValuesWithMarkupString(&fixture.button, markup);
    fixture.agent.SetResourceValuesWithMarkupString(&fixture.textBox, markup);
    fixture.user->clearRecords();
    return 0;
}
