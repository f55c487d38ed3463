#include "automation/AutomationError.h"
#include "support/LegacySetupFile.h"

#include <cstddef>
#include <cstdint>

// Any bytes either parse as a setup file or are refused with an AutomationError.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const ixo::LegacySetupFile file = ixo::LegacySetupFile::parse(bytes);
        (void)file.commands.size();
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
