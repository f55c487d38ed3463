#include "instruments/protocols/XdrWriter.h"

#include <QtEndian>

namespace ixo {

XdrWriter &XdrWriter::writeUInt32(quint32 value) {
    const quint32 big = qToBigEndian(value);
    m_bytes.append(reinterpret_cast<const char *>(&big), sizeof big);
    return *this;
}

XdrWriter &XdrWriter::writeOpaque(QByteArrayView bytes) {
    writeUInt32(static_cast<quint32>(bytes.size()));
    m_bytes.append(bytes);
    m_bytes.append((4 - bytes.size() % 4) % 4, '\0');
    return *this;
}

} // namespace ixo
