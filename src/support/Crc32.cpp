#include "support/Crc32.h"

#include <array>

namespace ixo {

namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto kTable = makeTable();

} // namespace

void Crc32::update(QByteArrayView data) {
    std::uint32_t state = m_state;
    for (const char byte : data)
        state = kTable[(state ^ static_cast<std::uint8_t>(byte)) & 0xFFu] ^ (state >> 8);
    m_state = state;
}

std::uint32_t Crc32::of(QByteArrayView data) {
    Crc32 crc;
    crc.update(data);
    return crc.value();
}

} // namespace ixo
