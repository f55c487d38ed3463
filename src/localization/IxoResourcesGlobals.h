#pragma once

#include "automation/Export.h"
#include "locale/IxoResourceRef.h"
#include "localization/CIxoResourcesAgent.h"
#include "localization/ResourcesAgentRef.h"

#include <QObjectList>
#include <QStringView>
#include <QVariant>

namespace ixo {

// The resource category of the library's controls.
inline constexpr QStringView ResourceCategoryId = u"{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}";

// The thread's agent and current provider, shared by every control on the thread. Both are
// empty until a control is created and after the last one is terminated; using them then
// fails with error 91.
extern IXO_EXPORT thread_local ResourcesAgentRef gResourcesAgent;
extern IXO_EXPORT thread_local IxoResourceRef gResources;

// A control's creation: a new agent and the built-in provider for the thread, then the
// control's own controls get their texts. Controls already on the thread keep the texts they
// show but fetch later ones from the built-in provider.
IXO_EXPORT void InitResources(const QVariant &Controls);
IXO_EXPORT void InitResources(const QObjectList &Controls);
// A control's termination: the pair is emptied when no control on the thread uses it any more.
IXO_EXPORT void FreeResources();

// How many controls on this thread use the pair.
IXO_EXPORT int resourcesUserCount();

} // namespace ixo
