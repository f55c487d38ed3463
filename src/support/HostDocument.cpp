#include "support/HostDocument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QFile>
#include <QSaveFile>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.HostDocument");

} // namespace

PropertyBag HostDocument::load(const QString &fileName) {
    QFile file(fileName);
    if (!file.exists())
        throw AutomationError(ErrorNumber::FileNotFound, kSource,
                              QStringLiteral("File not found: %1").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(
            ErrorNumber::PathFileAccess, kSource,
            QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    if (file.size() > kMaxFileSize)
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("%1 is too large").arg(fileName));
    PropertyBag bag;
    bag.setContents(file.readAll());
    return bag;
}

void HostDocument::save(const PropertyBag &bag, const QString &fileName) {
    const QByteArray bytes = bag.Contents();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AutomationError(
            ErrorNumber::PathFileAccess, kSource,
            QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
}

} // namespace ixo
