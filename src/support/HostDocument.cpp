#include "support/HostDocument.h"

#include "support/FileIo.h"

namespace ixo {

namespace {

const QString kHostDocumentSource = QStringLiteral("IxoInstrSetups.HostDocument");

} // namespace

const QString HostDocument::kStateListKey = QStringLiteral("StateInfo");
const QString HostDocument::kControlKey = QStringLiteral("InstrumentState");

PropertyBag HostDocument::load(const QString &fileName) {
    PropertyBag bag;
    bag.setContents(FileIo::readLimited(fileName, kMaxFileSize, kHostDocumentSource));
    return bag;
}

void HostDocument::save(const PropertyBag &bag, const QString &fileName) {
    FileIo::writeAtomically(
        fileName, [&bag](QIODevice &device) { bag.writeContents(device); }, kHostDocumentSource);
}

} // namespace ixo
