#pragma once

#include "automation/Export.h"
#include "instruments/protocols/HislipMessage.h"

#include <QByteArray>
#include <QByteArrayView>

namespace ixo {

// Cuts HiSLIP messages out of a byte stream. A header is judged as soon as it is complete, so a
// hostile payload length is refused before any of it is awaited or allocated: the buffer only
// ever holds bytes that actually arrived.
class IXO_EXPORT HislipMessageReader {
public:
    enum class Status {
        Incomplete, // more bytes are needed
        Complete,   // a message was taken
        BadPrologue,
        TooLarge,
    };

    explicit HislipMessageReader(quint64 maxPayload);

    quint64 maxPayload() const { return m_maxPayload; }
    void setMaxPayload(quint64 bytes) { m_maxPayload = bytes; }
    void append(QByteArrayView bytes);
    // Takes the next message when it is complete. After BadPrologue or TooLarge the stream is
    // out of step and stays refused until clear().
    Status next(HislipMessage &message);
    void clear();

    // The header of the message in the buffer, once its 16 bytes are there.
    quint8 pendingType() const;
    quint64 announcedLength() const { return m_announced; }
    // Bytes of an unfinished message; 0 between messages.
    qsizetype buffered() const { return m_buffer.size() - m_start; }

private:
    Status judgeHeader();

    QByteArray m_buffer;
    qsizetype m_start = 0;
    quint64 m_maxPayload;
    quint64 m_announced = 0;
    Status m_refused = Status::Incomplete;
};

} // namespace ixo
