#include "localization/ResourcesAgentRef.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

namespace ixo {

CIxoResourcesAgent &ResourcesAgentRef::get() const {
    if (!m_agent)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet,
                                        QStringLiteral("IxoInstrSetups"));
    return *m_agent;
}

} // namespace ixo
