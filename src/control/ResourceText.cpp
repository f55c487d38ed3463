#include "control/ResourceText.h"

#include "localization/IxoResourcesGlobals.h"

namespace ixo {

QString ResourceText::get(std::int32_t id) {
    return gResources->LoadResString(id);
}

} // namespace ixo
