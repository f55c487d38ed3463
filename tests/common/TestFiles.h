#pragma once

#include <QFile>

namespace ixo::test {

// The whole file, empty when it cannot be read.
inline QByteArray readFile(const QString &fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file with the bytes; false when it cannot be written.
inline bool writeFile(const QString &fileName, const QByteArray &bytes) {
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace ixo::test
