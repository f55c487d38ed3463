#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace ixo {

// Encodes XDR (RFC 4506) values: big-endian 32-bit words, opaque data padded to a multiple of
// four bytes.
class IXO_EXPORT XdrWriter {
public:
    XdrWriter() = default;
    explicit XdrWriter(qsizetype reserve) { m_bytes.reserve(reserve); }

    XdrWriter &writeUInt32(quint32 value);
    XdrWriter &writeInt32(qint32 value) { return writeUInt32(static_cast<quint32>(value)); }
    XdrWriter &writeBool(bool value) { return writeUInt32(value ? 1 : 0); }
    // A length word, the bytes, and zeros up to the next multiple of four.
    XdrWriter &writeOpaque(QByteArrayView bytes);
    XdrWriter &writeString(const QString &text) { return writeOpaque(text.toLatin1()); }

    const QByteArray &bytes() const { return m_bytes; }
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
};

} // namespace ixo
