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
    // Read in chunks: QIODevice::read(n) allocates n bytes up front, whatever the file holds.
    // Files that grow while being read, or report no size, are still held to the limit.
    constexpr qint64 kChunk = 64 * 1024;
    QByteArray bytes;
    bytes.reserve(file.size());
    for (;;) {
        const QByteArray chunk = file.read(std::min(kChunk, maxSize + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes.append(chunk);
        if (bytes.size() > maxSize)
            tooLarge(fileName, maxSize, source);
    }
    return bytes;
}

void FileIo::writeAtomically(const QString &fileName, const QByteArray &bytes,
                             const QString &source) {
    writeAtomically(
        fileName, [&bytes](QIODevice &device) { device.write(bytes); }, source);
}

void FileIo::writeAtomically(const QString &fileName, const std::function<void(QIODevice &)> &write,
                             const QString &source) {
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        write(file);
        // A failed write is remembered by the file and makes commit() fail.
        written = file.commit();
    }
    if (!written)
        throw AutomationError(
            ErrorNumber::PathFileAccess, source,
            QStringLiteral("Cannot write %1: %2").arg(fileName, file.errorString()));
}

} // namespace ixo
