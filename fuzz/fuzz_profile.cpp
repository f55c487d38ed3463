#include "automation/AutomationError.h"
#include "instruments/InstrumentProfile.h"

#include <QJsonDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Any bytes in a user's profile file: reading either fails with an error or gives a profile
// that writes and reads back to itself.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ixo::InstrumentProfile profile;
    try {
        profile = ixo::InstrumentProfile::fromJson(bytes, QStringLiteral("fuzz.json"));
    } catch (const ixo::AutomationError &) {
        return 0;
    }
    const QJsonObject json = profile.toJson();
    const ixo::InstrumentProfile again =
        ixo::InstrumentProfile::fromJson(QJsonDocument(json).toJson(), QStringLiteral("again"));
    if (again.toJson() != json)
        std::abort();
    // The steps must describe themselves without failing.
    for (const ixo::ProfileStep &step : again.captureSteps() + again.restoreSteps(false))
        (void)step.description();
    return 0;
}
