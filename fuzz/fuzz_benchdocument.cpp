#include "automation/AutomationError.h"
#include "automation/PropertyBag.h"
#include "locale/CIxoResourcesDefault.h"
#include "model/BenchStateFile.h"
#include "model/StateDocument.h"
#include "server/TypeLibrary.h"

#include <cstddef>
#include <cstdint>

// The same bytes as a host document with its bench and as a bench state file; a document that
// reads must also write.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool registered = (ixo::TypeLibrary::registerServer(), true);
    (void)registered;
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ixo::PropertyBag bag;
    try {
        bag.setContents(bytes);
    } catch (const ixo::AutomationError &) {
        return 0;
    }
    try {
        const auto document = ixo::StateDocument::fromBag(
            bag, std::make_shared<ixo::CIxoResourcesDefault>(), QStringLiteral("fuzz.ixs"));
        (void)document.toBag().Contents();
    } catch (const ixo::AutomationError &) {
    }
    try {
        ixo::BenchStateFile::fromBag(bag, QStringLiteral("fuzz.ixb"));
    } catch (const ixo::AutomationError &) {
    }
    return 0;
}
