#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QString>
#include <cstdint>

namespace ixo {

// What a host asks of a component whose texts come from a resource provider.
class IXO_EXPORT IxoResourceClient {
public:
    virtual ~IxoResourceClient();

    // The resource category the component's texts belong to.
    virtual QString CategoryId() const = 0;
    virtual std::int32_t CountryCode() const = 0;
    // The current provider, which may be Nothing.
    virtual ObjectRef Resources() const = 0;
    // Hands the component a provider of the host's own.
    virtual void setResources(const ObjectRef &Resources) = 0;
    // Switches to the provider for a country code (0 for the built-in one).
    virtual void LoadResources(std::int32_t CountryCode) = 0;

protected:
    IxoResourceClient() = default;
    IxoResourceClient(const IxoResourceClient &) = default;
    IxoResourceClient &operator=(const IxoResourceClient &) = default;
};

} // namespace ixo
