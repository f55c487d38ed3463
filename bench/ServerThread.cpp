#include "ServerThread.h"

namespace ixo::bench {

ServerThread::ServerThread() {
    m_thread.start();
    m_context.moveToThread(&m_thread);
}

// The servers go on their own thread, where their sockets live.
ServerThread::~ServerThread() {
    QMetaObject::invokeMethod(
        &m_context, [this] { m_objects.clear(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

} // namespace ixo::bench
