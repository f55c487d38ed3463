#include "instruments/transports/TcpSocketTransport.h"

namespace ixo {

TcpSocketTransport::TcpSocketTransport(QString host, quint16 port, QString resourceName)
    : InstrumentTransport(std::move(resourceName),
                          QStringLiteral("IxoInstrSetups.TcpSocketTransport"))
    , m_host(std::move(host))
    , m_port(port) {}

void TcpSocketTransport::open(QDeadlineTimer deadline) {
    m_channel.connect(m_host, m_port, deadline);
}

void TcpSocketTransport::close() {
    m_channel.close();
}

bool TcpSocketTransport::isOpen() const {
    return m_channel.isConnected();
}

void TcpSocketTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    m_channel.write(bytes, deadline);
}

QByteArray TcpSocketTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!m_channel.waitForInput(deadline))
        return {};
    return m_channel.read(maxBytes);
}

} // namespace ixo
