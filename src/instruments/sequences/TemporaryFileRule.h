#pragma once

#include "automation/Export.h"

#include <QJsonObject>
#include <QString>

namespace ixo {

class ProfileJsonReader;

// How a profile names the file a setup passes through in the instrument's own memory: a
// folder, a base name made unique per use, a length limit on the name and the extension,
// which some instruments add themselves when storing.
struct IXO_EXPORT TemporaryFileRule {
    struct Name {
        QString path; // ${file}: folder, name and extension
        QString stem; // ${fileStem}: the same without the extension
    };

    QString folder;
    QString baseName = QStringLiteral("IXO");
    // The most characters of the name, extension included; 0 for no limit.
    int maxLength = 0;
    QString extension;
    // Stored under ${fileStem}, the instrument adds the extension.
    bool instrumentAddsExtension = false;

    // unique is any number that differs between uses, such as a counter or the time.
    Name make(quint32 unique) const;

    static TemporaryFileRule fromJson(const ProfileJsonReader &reader);
    QJsonObject toJson() const;
};

} // namespace ixo
