#pragma once

#include "automation/Export.h"

#include <QByteArrayView>
#include <cstdint>

namespace ixo {

// CRC-32 as in zlib and PNG (reflected polynomial 0xEDB88320).
class IXO_EXPORT Crc32 {
public:
    void update(QByteArrayView data);
    std::uint32_t value() const { return ~m_state; }

    static std::uint32_t of(QByteArrayView data);

private:
    std::uint32_t m_state = 0xFFFFFFFFu;
};

} // namespace ixo
