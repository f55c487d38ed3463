// A host that embeds the control from the installed package.
#include <QApplication>
#include <QPushButton>
#include <control/InstrumentState.h>
#include <cstdio>
#include <instruments/simulator/SimulatedInstrument.h>
#include <model/StateInfo.h>
#include <server/TypeLibrary.h>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    ixo::TypeLibrary::registerServer();
    auto states = std::make_shared<ixo::StateInfo>();
    states->setSetupInterface(std::make_shared<ixo::SimulatedInstrument>());
    ixo::InstrumentState control;
    control.setInstrumentStateInfo(states);
    const QString caption = control.captureNewBtn->text();
    std::printf("%s\n", qPrintable(caption));
    return caption == QLatin1String("Capture New...") ? 0 : 1;
}
