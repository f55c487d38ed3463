#include "instruments/transports/SocketCanceller.h"

#include <QTcpSocket>
#include <algorithm>
#include <sys/socket.h>

namespace ixo {

void SocketCanceller::watch(const QTcpSocket &socket) {
    const qintptr descriptor = socket.socketDescriptor();
    if (descriptor < 0)
        return;
    const std::lock_guard lock(m_mutex);
    m_watched.push_back({&socket, descriptor});
}

void SocketCanceller::forget(const QTcpSocket &socket) {
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_watched, [&](const Watched &watched) { return watched.socket == &socket; });
}

void SocketCanceller::cancel() {
    const std::lock_guard lock(m_mutex);
    for (const Watched &watched : m_watched)
        ::shutdown(static_cast<int>(watched.descriptor), SHUT_RDWR);
}

} // namespace ixo
