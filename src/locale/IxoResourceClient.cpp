#include "locale/IxoResourceClient.h"

namespace ixo {

IxoResourceClient::~IxoResourceClient() = default;

} // namespace ixo
