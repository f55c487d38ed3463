#include "instruments/protocols/RpcRecordReader.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QtEndian>

namespace ixo {

qsizetype RpcRecordReader::consume(QByteArrayView bytes) {
    qsizetype taken = 0;
    while (!m_complete && taken < bytes.size()) {
        if (m_fragmentLeft == 0 && m_headerBytes < 4) {
            m_header[m_headerBytes++] = bytes[taken++];
            if (m_headerBytes < 4)
                continue;
            const auto word = qFromBigEndian<quint32>(m_header);
            m_lastFragment = (word & kLastFragment) != 0;
            m_fragmentLeft = word & ~kLastFragment;
            if (qsizetype(m_fragmentLeft) > m_maxRecordSize - m_record.size())
                throw AutomationError(
                    VisaStatus::Io, QStringLiteral("IxoInstrSetups.Rpc"),
                    QStringLiteral("An RPC record fragment announces %1 bytes, more than the "
                                   "limit of %2 bytes for a record")
                        .arg(m_fragmentLeft)
                        .arg(m_maxRecordSize));
        } else {
            const qsizetype part = std::min<qsizetype>(m_fragmentLeft, bytes.size() - taken);
            m_record.append(bytes.sliced(taken, part));
            taken += part;
            m_fragmentLeft -= static_cast<quint32>(part);
        }
        if (m_headerBytes == 4 && m_fragmentLeft == 0) {
            m_headerBytes = 0;
            m_complete = m_lastFragment;
        }
    }
    return taken;
}

qsizetype RpcRecordReader::wanted() const {
    if (m_complete)
        return 0;
    return m_fragmentLeft > 0 ? qsizetype(m_fragmentLeft) : 4 - m_headerBytes;
}

QByteArray RpcRecordReader::takeRecord() {
    m_complete = false;
    return std::exchange(m_record, QByteArray());
}

void RpcRecordReader::reset() {
    m_record.clear();
    m_headerBytes = 0;
    m_fragmentLeft = 0;
    m_lastFragment = false;
    m_complete = false;
}

QByteArray RpcRecordReader::header(quint32 length) {
    const quint32 big = qToBigEndian(length | kLastFragment);
    return QByteArray(reinterpret_cast<const char *>(&big), sizeof big);
}

} // namespace ixo
