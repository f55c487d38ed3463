#include "support/Crc32.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#define IXO_CRC32_CLMUL 1
#endif

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

std::uint32_t sliced(std::uint32_t state, const char *p, qsizetype rest) {
    for (; rest >= 8; rest -= 8, p += 8) {
        const std::uint32_t low =
            state ^ (byteAt(p, 0) | byteAt(p, 1) << 8 | byteAt(p, 2) << 16 | byteAt(p, 3) << 24);
        state = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^
                kTables[5][(low >> 16) & 0xFFu] ^ kTables[4][low >> 24] ^ kTables[3][byteAt(p, 4)] ^
                kTables[2][byteAt(p, 5)] ^ kTables[1][byteAt(p, 6)] ^ kTables[0][byteAt(p, 7)];
    }
    for (; rest > 0; --rest, ++p)
        state = kTables[0][(state ^ byteAt(p, 0)) & 0xFFu] ^ (state >> 8);
    return state;
}

#ifdef IXO_CRC32_CLMUL

#define IXO_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

IXO_CLMUL_TARGET __m128i load(const char *at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
}

// x times x^k mod P for the two distances in k, added to the next 128 bits.
IXO_CLMUL_TARGET __m128i fold(__m128i x, __m128i k, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(x, k, 0x00);
    const __m128i high = _mm_clmulepi64_si128(x, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// Folding by carry-less multiplication (Intel's "Fast CRC Computation Using PCLMULQDQ"), 64
// bytes a step, for a length of at least 64 and a multiple of 16. The constants are x^k mod P
// for the fold distances, bit-reflected, then P and its Barrett constant.
IXO_CLMUL_TARGET std::uint32_t folded(std::uint32_t state, const char *p, qsizetype length) {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);

    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(state)));
    __m128i x2 = load(p + 16);
    __m128i x3 = load(p + 32);
    __m128i x4 = load(p + 48);
    p += 64;
    length -= 64;
    for (; length >= 64; p += 64, length -= 64) {
        x1 = fold(x1, k1k2, load(p));
        x2 = fold(x2, k1k2, load(p + 16));
        x3 = fold(x3, k1k2, load(p + 32));
        x4 = fold(x4, k1k2, load(p + 48));
    }
    x1 = fold(x1, k3k4, x2);
    x1 = fold(x1, k3k4, x3);
    x1 = fold(x1, k3k4, x4);
    for (; length >= 16; p += 16, length -= 16)
        x1 = fold(x1, k3k4, load(p));

    // 128 bits to 64, then Barrett reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00),
                       _mm_srli_si128(x1, 4));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), poly, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

bool hasClmul() {
    static const bool supported =
        __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}

#endif

} // namespace

void Crc32::update(QByteArrayView data) {
    const char *p = data.data();
    qsizetype rest = data.size();
#ifdef IXO_CRC32_CLMUL
    if (rest >= 64 && hasClmul()) {
        const qsizetype whole = rest & ~qsizetype(15);
        m_state = folded(m_state, p, whole);
        p += whole;
        rest -= whole;
    }
#endif
    m_state = sliced(m_state, p, rest);
}

std::uint32_t Crc32::of(QByteArrayView data) {
    Crc32 crc;
    crc.update(data);
    return crc.value();
}

} // namespace ixo
