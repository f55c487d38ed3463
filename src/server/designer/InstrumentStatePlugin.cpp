#include "InstrumentStatePlugin.h"

#include "control/InstrumentState.h"
#include "server/TypeLibrary.h"

#include <QIcon>

namespace ixo {

InstrumentStatePlugin::InstrumentStatePlugin(QObject *parent)
    : QObject(parent) {
    TypeLibrary::registerServer();
}

QString InstrumentStatePlugin::name() const {
    return QStringLiteral("ixo::InstrumentState");
}

QString InstrumentStatePlugin::group() const {
    return QStringLiteral("Instrument Setups");
}

QString InstrumentStatePlugin::toolTip() const {
    return TypeLibrary::description();
}

QString InstrumentStatePlugin::whatsThis() const {
    return QStringLiteral("Keeps a list of saved instrument setups: capture, restore, rename, "
                          "remove, export and import.");
}

QString InstrumentStatePlugin::includeFile() const {
    return QStringLiteral("control/InstrumentState.h");
}

QIcon InstrumentStatePlugin::icon() const {
    return QIcon(QStringLiteral(":/ixoinstrsetups/designer/InstrumentStateToolbox.xpm"));
}

bool InstrumentStatePlugin::isContainer() const {
    return false;
}

// Designer owns what it asks for through the parent.
QWidget *InstrumentStatePlugin::createWidget(QWidget *parent) {
    return new InstrumentState(parent);
}

QString InstrumentStatePlugin::domXml() const {
    return QStringLiteral("<ui language=\"c++\"><widget class=\"ixo::InstrumentState\" "
                          "name=\"instrumentState\"/></ui>");
}

} // namespace ixo
