#pragma once

#include "automation/Export.h"
#include "instruments/simulator/SimulatedFamily.h"

namespace ixo {

// The commands families share, made for one family by their parameters.
class IXO_EXPORT FamilyHandlers {
public:
    using Commands = QList<SimulatedFamily::Command>;

    // Where a family keeps its setups as files, and the commands it has for them.
    struct FileRoute {
        const char *folder;
        // Added to a stored name without one, as Keysight instruments add ".sta".
        const char *extension;
        // Rohde & Schwarz analysers number the state before the path: 1,'C:\Temp\x.dfl'.
        bool stateNumber;
        const char *store;
        const char *load;
        // Keysight writes a file with DOWNload:FNAMe and DOWNload:DATA rather than
        // MMEMory:DATA '<path>',<block>.
        bool download;
    };

    // The IEEE 488.2 common commands, SYSTem:ERRor? when the family has it, and the fault command.
    static Commands common(const SimulatedFamily &family);
    // A query and a command for each setting.
    static Commands settings(std::span<const SimulatedSettings::Definition> definitions);
    // The setup as a block: "<pattern>?" answers it (after answerHeader in the header mode),
    // "<pattern> <block>" restores it.
    static Commands blockSetup(const char *pattern, const char *answerHeader = nullptr);
    // The learn string: prefix and a command for each setting, ";"-separated.
    static SimulatedFamily::Command learnString(const char *pattern, const char *prefix);
    static Commands files(const FileRoute &route);
    // *SAV and *RCL with registers first..last.
    static Commands registers(int first, int last);

private:
    static QString path(const FileRoute &route, const ScpiCommand &command, int index);
    static QByteArray file(const SimulatedState &state, const QString &path);
    static QByteArray catalog(const FileRoute &route, SimulatedState &state,
                              const ScpiCommand &command);
};

} // namespace ixo
