#include "instruments/simulator/MassMemory.h"

namespace ixo {

void MassMemory::put(const QString &path, QByteArray bytes) {
    m_files.insert(path.toCaseFolded(), {path, std::move(bytes)});
}

std::optional<QByteArray> MassMemory::get(const QString &path) const {
    const auto file = m_files.constFind(path.toCaseFolded());
    return file == m_files.cend() ? std::nullopt : std::optional(file->bytes);
}

bool MassMemory::remove(const QString &path) {
    return m_files.remove(path.toCaseFolded()) > 0;
}

QStringList MassMemory::paths() const {
    QStringList paths;
    for (const File &file : m_files)
        paths.append(file.path);
    return paths;
}

} // namespace ixo
