#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>

namespace ixo {

// Reassembles one ONC RPC record from its record-marking fragments (RFC 5531 section 11): each
// fragment has a 32-bit header, the top bit marking the last one, the rest its length. Bytes
// are kept only as they arrive, and a fragment that would take the record past the limit is
// refused on its header, so an announced length is never allocated.
class IXO_EXPORT RpcRecordReader {
public:
    static constexpr quint32 kLastFragment = 0x80000000u;

    explicit RpcRecordReader(qsizetype maxRecordSize)
        : m_maxRecordSize(maxRecordSize) {}

    // Takes bytes up to the end of the current record and returns how many it took; raises an
    // AutomationError (VisaStatus::Io) for a length over the limit.
    qsizetype consume(QByteArrayView bytes);
    bool isComplete() const { return m_complete; }
    // The complete record; the reader starts on the next one.
    QByteArray takeRecord();
    // The bytes still needed before the reader can say more (a header or fragment data).
    qsizetype wanted() const;
    void reset();

    // The header of one last fragment holding length bytes.
    static QByteArray header(quint32 length);

private:
    qsizetype m_maxRecordSize;
    QByteArray m_record;
    char m_header[4] = {};
    int m_headerBytes = 0;
    quint32 m_fragmentLeft = 0;
    bool m_lastFragment = false;
    bool m_complete = false;
};

} // namespace ixo
