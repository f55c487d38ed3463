#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QByteArray>
#include <QString>

namespace ixo {

// A sibling application's setup file: SCPI commands, one per line, after optional header
// comments such as "# Model: SG-100". The name defaults to the file's base name; a missing
// version reads as the wildcard "*".
class IXO_EXPORT LegacySetupFile {
public:
    static constexpr qint64 kMaxSize = qint64(16) * 1024 * 1024;

    QString model;
    QString version = QStringLiteral("*");
    QString name;
    QString description;
    // The commands, one per line, as the SCPI client restores them.
    QString commands;

    // Raises error 321 for text that is not a setup file.
    static LegacySetupFile parse(const QByteArray &text);
    static LegacySetupFile read(const QString &fileName);
    // A new object of progId (a saved state) filled from the file.
    static ObjectRef import(const QString &fileName, const QString &progId);

private:
    bool takeHeader(const QString &line);
};

} // namespace ixo
