#include "automation/AutomationError.h"
#include "automation/PropertyBag.h"
#include "model/StateInfo.h"
#include "server/TypeLibrary.h"

#include <cstddef>
#include <cstdint>

// Any byte string must either load as a bag (and then as a state list, or fail cleanly) or
// be refused with an AutomationError.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool registered = (ixo::TypeLibrary::registerServer(), true);
    (void)registered;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        ixo::PropertyBag bag;
        bag.setContents(bytes);
        for (const QString &name : bag.names())
            bag.ReadProperty(name);
        ixo::StateInfo list;
        list.ReadProperties(bag);
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
