#pragma once

#include "automation/Export.h"

#include <QtGlobal>
#include <mutex>
#include <vector>

class QTcpSocket;

namespace ixo {

// Ends the blocking waits on a transport's connected sockets from another thread: shutting a
// socket down wakes its waiting call, which then fails as a lost connection. A socket is
// watched once connected and forgotten before it is closed, so that a descriptor number the
// system hands out again is never shut down by mistake.
class IXO_EXPORT SocketCanceller {
public:
    void watch(const QTcpSocket &socket);
    void forget(const QTcpSocket &socket);
    void cancel();

private:
    std::mutex m_mutex;
    // The descriptor as it was when watched: a socket whose peer closed no longer tells it.
    struct Watched {
        const QTcpSocket *socket;
        qintptr descriptor;
    };
    std::vector<Watched> m_watched;
};

} // namespace ixo
