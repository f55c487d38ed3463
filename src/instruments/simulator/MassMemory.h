#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace ixo {

// A simulated instrument's files: paths compared without regard to letter case, as the
// instruments' file systems do.
class IXO_EXPORT MassMemory {
public:
    void put(const QString &path, QByteArray bytes);
    std::optional<QByteArray> get(const QString &path) const;
    bool remove(const QString &path);
    // As they were written.
    QStringList paths() const;

private:
    struct File {
        QString path;
        QByteArray bytes;
    };
    QMap<QString, File> m_files;
};

} // namespace ixo
