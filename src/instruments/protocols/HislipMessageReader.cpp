#include "instruments/protocols/HislipMessageReader.h"

#include <QtEndian>

namespace ixo {

HislipMessageReader::HislipMessageReader(quint64 maxPayload)
    : m_maxPayload(maxPayload) {}

void HislipMessageReader::append(QByteArrayView bytes) {
    if (m_refused != Status::Incomplete || bytes.isEmpty())
        return;
    // Taken messages are dropped before the buffer grows, so it never holds more than one
    // message plus what arrived with it.
    if (m_start > 0 && (m_start == m_buffer.size() || m_start >= m_buffer.size() / 2)) {
        m_buffer.remove(0, m_start);
        m_start = 0;
    }
    m_buffer.append(bytes);
}

void HislipMessageReader::clear() {
    m_buffer.clear();
    m_start = 0;
    m_announced = 0;
    m_refused = Status::Incomplete;
}

quint8 HislipMessageReader::pendingType() const {
    return buffered() >= 3 ? static_cast<quint8>(m_buffer[m_start + 2]) : 0;
}

HislipMessageReader::Status HislipMessageReader::judgeHeader() {
    const char *head = m_buffer.constData() + m_start;
    const qsizetype available = buffered();
    // The prologue is checked byte by byte, so garbage is refused without waiting for more.
    if ((available >= 1 && head[0] != 'H') || (available >= 2 && head[1] != 'S'))
        return m_refused = Status::BadPrologue;
    if (available < HislipMessage::kHeaderSize)
        return Status::Incomplete;
    m_announced = qFromBigEndian<quint64>(head + 8);
    if (m_announced > m_maxPayload)
        return m_refused = Status::TooLarge;
    return Status::Complete;
}

HislipMessageReader::Status HislipMessageReader::next(HislipMessage &message) {
    if (m_refused != Status::Incomplete)
        return m_refused;
    const Status header = judgeHeader();
    if (header != Status::Complete)
        return header;
    const auto length = static_cast<qsizetype>(m_announced);
    if (buffered() - HislipMessage::kHeaderSize < length)
        return Status::Incomplete;
    const char *head = m_buffer.constData() + m_start;
    message.type = static_cast<quint8>(head[2]);
    message.control = static_cast<quint8>(head[3]);
    message.parameter = qFromBigEndian<quint32>(head + 4);
    const qsizetype total = HislipMessage::kHeaderSize + length;
    if (m_start == 0 && total == m_buffer.size()) {
        // The whole buffer is this one message: hand its storage over instead of copying.
        message.payload = std::move(m_buffer);
        message.payload.remove(0, HislipMessage::kHeaderSize);
        m_buffer = QByteArray();
    } else {
        message.payload = m_buffer.mid(m_start + HislipMessage::kHeaderSize, length);
        m_start += total;
    }
    m_announced = 0;
    return Status::Complete;
}

} // namespace ixo
