#pragma once

namespace ixo {

class frmEditName;

// The thread's loaded, hidden name dialog whose texts follow every language switch; it goes
// with the last control on the thread.
class SharedEditName {
public:
    static frmEditName &instance();
    static void release();
};

} // namespace ixo
