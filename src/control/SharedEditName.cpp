#include "control/SharedEditName.h"

#include "control/frmEditName.h"

#include <memory>

namespace ixo {

namespace {

thread_local std::unique_ptr<frmEditName> t_instance;

} // namespace

frmEditName &SharedEditName::instance() {
    if (!t_instance)
        t_instance = std::make_unique<frmEditName>();
    return *t_instance;
}

void SharedEditName::release() {
    t_instance.reset();
}

} // namespace ixo
