#include "instruments/protocols/XdrReader.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <QtEndian>

namespace ixo {

void XdrReader::fail(const QString &why) const {
    throw AutomationError(VisaStatus::Io, QStringLiteral("IxoInstrSetups.Rpc"),
                          QStringLiteral("Malformed %1: %2").arg(m_what, why));
}

quint32 XdrReader::readUInt32() {
    if (remaining() < 4)
        fail(QStringLiteral("ends after %1 bytes").arg(m_bytes.size()));
    const auto value = qFromBigEndian<quint32>(m_bytes.data() + m_position);
    m_position += 4;
    return value;
}

bool XdrReader::readBool() {
    const quint32 value = readUInt32();
    if (value > 1)
        fail(QStringLiteral("%1 is not a boolean").arg(value));
    return value == 1;
}

QByteArrayView XdrReader::readOpaque(qsizetype maxLength) {
    const quint32 length = readUInt32();
    if (length > static_cast<quint64>(maxLength))
        fail(QStringLiteral("announces %1 bytes of data, more than the limit of %2")
                 .arg(length)
                 .arg(maxLength));
    const qsizetype padded = (qsizetype(length) + 3) & ~qsizetype(3);
    if (padded > remaining())
        fail(QStringLiteral("announces %1 bytes of data but holds only %2")
                 .arg(length)
                 .arg(remaining()));
    const QByteArrayView data = m_bytes.sliced(m_position, length);
    m_position += padded;
    return data;
}

} // namespace ixo
