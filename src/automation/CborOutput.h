#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace ixo {

// Writes CBOR items into a byte array, or through one to a device in large pieces, without
// the per-item device calls of a stream writer. Lengths are always definite and numbers in
// their shortest head; reals are written as doubles.
class IXO_EXPORT CborOutput {
public:
    explicit CborOutput(QByteArray &bytes);
    explicit CborOutput(QIODevice &device);
    ~CborOutput();
    CborOutput(const CborOutput &) = delete;
    CborOutput &operator=(const CborOutput &) = delete;

    void startArray(quint64 count) { head(4, count); }
    void startMap(quint64 count) { head(5, count); }
    void integer(qint64 value);
    void real(double value);
    void boolean(bool value) { m_bytes.append(char(value ? 0xf5 : 0xf4)); }
    void null() { m_bytes.append(char(0xf6)); }
    void text(const QString &value);
    void bytes(const char *data, qsizetype size);

    // Hands what was written so far to the device; done on destruction as well.
    void flush();

private:
    void head(quint8 major, quint64 value);
    void spill();

    QByteArray m_buffer;
    QByteArray &m_bytes;
    QIODevice *m_device = nullptr;
};

} // namespace ixo
