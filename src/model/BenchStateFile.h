#pragma once

#include "automation/Export.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

namespace ixo {

class ItemStateInfo;
class PropertyBag;

// One bench state in a file (.ixb): the state of every role that has it, by role. A property
// bag document like the host document, written atomically.
class IXO_EXPORT BenchStateFile {
public:
    using RoleState = std::pair<QString, std::shared_ptr<ItemStateInfo>>;

    static const QString kExtension;

    static void save(const std::vector<RoleState> &states, const QString &fileName);
    // Refuses a file that is no bench state file, naming it.
    static std::vector<RoleState> load(const QString &fileName);
    static std::vector<RoleState> fromBag(const PropertyBag &bag, const QString &fileName);
};

} // namespace ixo
