#include "support/HostDocument.h"

#include "support/FileIo.h"

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.HostDocument");

} // namespace

PropertyBag HostDocument::load(const QString &fileName) {
    PropertyBag bag;
    bag.setContents(FileIo::readLimited(fileName, kMaxFileSize, kSource));
    return bag;
}

void HostDocument::save(const PropertyBag &bag, const QString &fileName) {
    FileIo::writeAtomically(fileName, bag.Contents(), kSource);
}

} // namespace ixo
