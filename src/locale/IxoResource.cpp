#include "locale/IxoResource.h"

namespace ixo {

IxoResource::~IxoResource() = default;

} // namespace ixo
