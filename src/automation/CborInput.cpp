#include "automation/CborInput.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <limits>

namespace ixo {

namespace {

const QString kCborInputSource = QStringLiteral("IxoInstrSetups.PropertyBag");

// Bytes before the data of a string whose head starts with this byte.
qsizetype headLength(char first) {
    switch (static_cast<unsigned char>(first) & 0x1f) {
    case 24:
        return 2;
    case 25:
        return 3;
    case 26:
        return 5;
    case 27:
        return 9;
    default:
        return 1;
    }
}

} // namespace

CborInput::CborInput(const QByteArray &source)
    : m_source(source)
    , m_reader(source) {
    check();
}

void CborInput::malformed(const QString &why) {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kCborInputSource,
                          QStringLiteral("Invalid property bag contents: %1").arg(why));
}

void CborInput::check() {
    if (m_reader.lastError() != QCborError::NoError)
        malformed(m_reader.lastError().toString());
}

void CborInput::checkLength() {
    if (m_reader.isLengthKnown() &&
        m_reader.length() > static_cast<quint64>(m_source.size() - m_reader.currentOffset()))
        malformed(QStringLiteral("a string is longer than the data that holds it"));
}

bool CborInput::hasNext() {
    check();
    return m_reader.hasNext();
}

void CborInput::enter() {
    if (!m_reader.enterContainer())
        malformed(QStringLiteral("cannot enter a container"));
    check();
}

void CborInput::leave() {
    check();
    if (!m_reader.leaveContainer())
        malformed(QStringLiteral("a container does not end where it should"));
    check();
}

void CborInput::skip() {
    m_reader.next(BagValue::kMaxDepth);
    check();
}

void CborInput::finish() {
    check();
    if (m_reader.currentOffset() != m_source.size())
        malformed(QStringLiteral("data follows the end of the document"));
}

template <typename ReadChunk>
auto CborInput::joinChunks(ReadChunk readChunk, const QString &failure) {
    decltype(readChunk().data) result;
    auto chunk = readChunk();
    while (chunk.status == QCborStreamReader::Ok) {
        result += chunk.data;
        chunk = readChunk();
    }
    check();
    if (chunk.status == QCborStreamReader::Error)
        malformed(failure);
    return result;
}

QString CborInput::text() {
    checkLength();
    return joinChunks([this] { return m_reader.readString(); },
                      QStringLiteral("a text string cannot be read"));
}

std::optional<qint64> CborInput::integer() {
    std::optional<qint64> result;
    if (m_reader.isUnsignedInteger()) {
        const quint64 value = m_reader.toUnsignedInteger();
        if (value <= static_cast<quint64>(std::numeric_limits<qint64>::max()))
            result = static_cast<qint64>(value);
    } else {
        // Holds the magnitude: -1 is 1, and 0 stands for -2^64.
        const auto magnitude = static_cast<quint64>(m_reader.toNegativeInteger());
        constexpr quint64 kLowest = quint64(1) << 63;
        if (magnitude == kLowest)
            result = std::numeric_limits<qint64>::min();
        else if (magnitude != 0 && magnitude < kLowest)
            result = -static_cast<qint64>(magnitude);
    }
    skip();
    return result;
}

double CborInput::real() {
    double result = 0;
    if (m_reader.isFloat16())
        result = static_cast<double>(m_reader.toFloat16());
    else if (m_reader.isFloat())
        result = static_cast<double>(m_reader.toFloat());
    else
        result = m_reader.toDouble();
    skip();
    return result;
}

bool CborInput::boolean() {
    const bool result = m_reader.toBool();
    skip();
    return result;
}

BagValue CborInput::bytes() {
    checkLength();
    if (m_reader.isLengthKnown()) {
        const qsizetype size = static_cast<qsizetype>(m_reader.length());
        const qsizetype start = static_cast<qsizetype>(m_reader.currentOffset());
        const qsizetype offset = start + headLength(m_source.at(start));
        skip();
        if (m_reader.currentOffset() != offset + size)
            malformed(QStringLiteral("a byte string does not end where its length says"));
        return BagValue(BagValue::Slice{m_source, offset, size});
    }
    return BagValue(QVariant(joinChunks([this] { return m_reader.readByteArray(); },
                                        QStringLiteral("a byte string cannot be read"))));
}

} // namespace ixo
