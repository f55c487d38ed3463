#include "localization/IxoResourcesGlobals.h"

namespace ixo {

thread_local ResourcesAgentRef gResourcesAgent;
thread_local IxoResourceRef gResources;

namespace {

thread_local int t_users = 0;

} // namespace

void InitResources(const QVariant &Controls) {
    gResourcesAgent = ResourcesAgentRef(std::make_shared<CIxoResourcesAgent>());
    gResources =
        IxoResourceRef(gResourcesAgent->LoadResourcesForObject(ResourceCategoryId.toString(), 0));
    ++t_users;
    gResourcesAgent->SetResourceValuesForSubordinateObjects(Controls);
}

void InitResources(const QObjectList &Controls) {
    InitResources(QVariant::fromValue(Controls));
}

void FreeResources() {
    if (t_users > 0)
        --t_users;
    if (t_users == 0) {
        gResourcesAgent.reset();
        gResources.reset();
    }
}

int resourcesUserCount() {
    return t_users;
}

} // namespace ixo
