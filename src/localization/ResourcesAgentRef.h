#pragma once

#include "automation/Export.h"

#include <memory>

namespace ixo {

class CIxoResourcesAgent;

// A shared agent; using an empty reference fails with error 91 instead of crashing.
class IXO_EXPORT ResourcesAgentRef {
public:
    ResourcesAgentRef() = default;
    explicit ResourcesAgentRef(std::shared_ptr<CIxoResourcesAgent> agent)
        : m_agent(std::move(agent)) {}

    CIxoResourcesAgent *operator->() const { return &get(); }
    CIxoResourcesAgent &operator*() const { return get(); }
    CIxoResourcesAgent &get() const;

    const std::shared_ptr<CIxoResourcesAgent> &shared() const { return m_agent; }
    bool isEmpty() const { return !m_agent; }
    explicit operator bool() const { return !isEmpty(); }
    void reset() { m_agent.reset(); }

private:
    std::shared_ptr<CIxoResourcesAgent> m_agent;
};

} // namespace ixo
