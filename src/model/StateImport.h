#pragma once

#include "automation/Export.h"

#include <QString>
#include <functional>
#include <memory>

namespace ixo {

class ItemStateInfo;
class SetupInterface;

// Reads one saved state from a file: a state file by its ".sta" extension (letter case
// counts), otherwise - or when a ".sta" file turns out to be no state file - a legacy setup
// read by the instrument. A legacy setup read in place of a state file gets a free name and
// the instrument's version for a wildcard one.
class IXO_EXPORT StateImport {
public:
    static const QString kItemProgId;
    static const QString kStateFileExtension;
    static const QString kAnyVersion;

    using SetupSource = std::function<SetupInterface &()>;
    using NameSource = std::function<QString()>;

    // A legacy reader that gives Nothing for a file not named ".sta" gives an empty result;
    // every other failure is raised.
    static std::shared_ptr<ItemStateInfo> read(const QString &fileName, const QString &extension,
                                               const SetupSource &setup,
                                               const NameSource &freeName);
};

} // namespace ixo
