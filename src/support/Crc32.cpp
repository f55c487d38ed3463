#include "support/Crc32.h"

#include <array>

namespace ixo {

namespace {

// Slicing by eight: table[k][b] is the CRC of byte b followed by k zero bytes, so that eight
// input bytes take eight independent lookups instead of a chain of eight.
using Tables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (std::size_t k = 1; k < tables.size(); ++k)
            tables[k][i] = tables[0][tables[k - 1][i] & 0xFFu] ^ (tables[k - 1][i] >> 8);
    return tables;
}

constexpr Tables kTables = makeTables();

std::uint32_t byteAt(const char *data, int index) {
    return static_cast<std::uint8_t>(data[index]);
}

} // namespace

void Crc32::update(QByteArrayView data) {
    std::uint32_t state = m_state;
    const char *p = data.data();
    qsizetype rest = data.size();
    for (; rest >= 8; rest -= 8, p += 8) {
        const std::uint32_t low =
            state ^ (byteAt(p, 0) | byteAt(p, 1) << 8 | byteAt(p, 2) << 16 | byteAt(p, 3) << 24);
        state = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
                kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^ kTables[3][byteAt(p, 4)] ^
                kTables[2][byteAt(p, 5)] ^ kTables[1][byteAt(p, 6)] ^ kTables[0][byteAt(p, 7)];
    }
    for (; rest > 0; --rest, ++p)
        state = kTables[0][(state ^ byteAt(p, 0)) & 0xFFu] ^ (state >> 8);
    m_state = state;
}

std::uint32_t Crc32::of(QByteArrayView data) {
    Crc32 crc;
    crc.update(data);
    return crc.value();
}

} // namespace ixo
