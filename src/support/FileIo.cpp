#include "support/FileIo.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QFile>
#include <QSaveFile>

namespace ixo {

namespace {

[[noreturn]] void tooLarge(const QString &fileName, qint64 maxSize, const QString &source) {
    throw AutomationError(
        ErrorNumber::InvalidFileFormat, source,
        QStringLiteral("%1 is larger than the limit of %2 bytes.").arg(fileName).arg(maxSize));
}

} // namespace

QByteArray FileIo::readLimited(const QString &fileName, qint64 maxSize, const QString &source) {
    QFile file(fileName);
    if (!file.exists())
        throw AutomationError(ErrorNumber::FileNotFound, source,
                              QStringLiteral("File not found: %1").arg(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(
            ErrorNumber::PathFileAccess, source,
            QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    if (file.size() > maxSize)
        tooLarge(fileName, maxSize, source);
    // Files that grow while being read, or report no size, are still held to the limit.
    QByteArray bytes = file.read(maxSize + 1);
    if (bytes.size() > maxSize)
        tooLarge(fileName, maxSize, source);
    return bytes;
}

void FileIo::writeAtomically(const QString &fileName, const QByteArray &bytes,
                             const QString &source) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AutomationError(
            ErrorNumber::PathFileAccess, source,
            QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
}

} // namespace ixo
