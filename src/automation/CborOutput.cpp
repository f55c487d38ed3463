#include "automation/CborOutput.h"

#include <QIODevice>
#include <QtEndian>
#include <bit>
#include <cstring>

namespace ixo {

namespace {

constexpr qsizetype kSpillAt = 256 * 1024;

template <typename T> void appendBigEndian(QByteArray &bytes, T value) {
    char raw[sizeof(T)];
    qToBigEndian(value, raw);
    bytes.append(raw, sizeof(T));
}

} // namespace

CborOutput::CborOutput(QByteArray &bytes)
    : m_bytes(bytes) {}

CborOutput::CborOutput(QIODevice &device)
    : m_bytes(m_buffer)
    , m_device(&device) {
    m_buffer.reserve(kSpillAt + 64 * 1024);
}

CborOutput::~CborOutput() {
    flush();
}

void CborOutput::flush() {
    if (m_device && !m_buffer.isEmpty()) {
        // A failed write is kept by the device and reported when it is closed.
        m_device->write(m_buffer);
        m_buffer.resize(0);
    }
}

void CborOutput::spill() {
    if (m_device && m_buffer.size() >= kSpillAt)
        flush();
}

void CborOutput::head(quint8 major, quint64 value) {
    const auto lead = static_cast<char>(major << 5);
    if (value < 24) {
        m_bytes.append(static_cast<char>(lead | static_cast<char>(value)));
    } else if (value <= 0xff) {
        m_bytes.append(static_cast<char>(lead | 24));
        m_bytes.append(static_cast<char>(value));
    } else if (value <= 0xffff) {
        m_bytes.append(static_cast<char>(lead | 25));
        appendBigEndian(m_bytes, static_cast<quint16>(value));
    } else if (value <= 0xffffffffu) {
        m_bytes.append(static_cast<char>(lead | 26));
        appendBigEndian(m_bytes, static_cast<quint32>(value));
    } else {
        m_bytes.append(static_cast<char>(lead | 27));
        appendBigEndian(m_bytes, value);
    }
}

void CborOutput::integer(qint64 value) {
    if (value >= 0)
        head(0, static_cast<quint64>(value));
    else
        head(1, static_cast<quint64>(-(value + 1)));
}

void CborOutput::real(double value) {
    m_bytes.append(char(0xfb));
    appendBigEndian(m_bytes, std::bit_cast<quint64>(value));
}

void CborOutput::text(const QString &value) {
    const QByteArray utf8 = value.toUtf8();
    head(3, static_cast<quint64>(utf8.size()));
    m_bytes.append(utf8);
    spill();
}

void CborOutput::bytes(const char *data, qsizetype size) {
    head(2, static_cast<quint64>(size));
    if (m_device && size >= kSpillAt) {
        // Large data goes to the device directly instead of through the buffer.
        flush();
        m_device->write(data, size);
        return;
    }
    m_bytes.append(data, size);
    spill();
}

} // namespace ixo
