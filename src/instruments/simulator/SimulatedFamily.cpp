#include "instruments/simulator/SimulatedFamily.h"

#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/families/Families.h"
#include "instruments/simulator/families/FamilyHandlers.h"

namespace ixo {

namespace {

QList<SimulatedFamily> completed() {
    QList<SimulatedFamily> families = Families::ixo() + Families::keysight() +
                                      Families::rohdeSchwarz() + Families::rigolSiglent() +
                                      Families::tektronix();
    // The family's own commands come first: they may replace common ones such as *LRN?.
    for (SimulatedFamily &family : families)
        family.commands +=
            FamilyHandlers::settings(family.settings) + FamilyHandlers::common(family);
    return families;
}

} // namespace

const QList<SimulatedFamily> &SimulatedFamily::all() {
    static const QList<SimulatedFamily> families = completed();
    return families;
}

const SimulatedFamily *SimulatedFamily::find(const QString &name) {
    for (const SimulatedFamily &family : all())
        if (family.name.compare(name, Qt::CaseInsensitive) == 0)
            return &family;
    return nullptr;
}

const SimulatedFamily::Command *SimulatedFamily::command(const QString &header) const {
    for (const Command &command : commands)
        if (ScpiCommand::matches(header, command.pattern))
            return &command;
    return nullptr;
}

} // namespace ixo
