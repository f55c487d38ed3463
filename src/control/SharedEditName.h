#pragma once

#include "automation/Export.h"

namespace ixo {

class frmEditName;

// The thread's loaded, hidden name dialog whose texts follow every language switch; it goes
// with the last control on the thread.
class IXO_EXPORT SharedEditName {
public:
    static frmEditName &instance();
    static void release();
};

} // namespace ixo
