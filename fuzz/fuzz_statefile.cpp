#include "automation/AutomationError.h"
#include "model/ItemStateInfo.h"
#include "support/StateFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const auto decoded = ixo::StateFile::decode(bytes, QStringLiteral("fuzz.sta"));
        ixo::ItemStateInfo state;
        state.ReadPropertiesFromVariant(decoded.contents);
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
