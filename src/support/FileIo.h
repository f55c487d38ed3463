#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

namespace ixo {

// The two ways this library touches files. Failures are AutomationErrors raised for the given
// source: a missing file (53), one that cannot be read or written (75), one over the limit (321).
class IXO_EXPORT FileIo {
public:
    static QByteArray readLimited(const QString &fileName, qint64 maxSize, const QString &source);
    // Through a temporary file, so an existing file keeps its old contents on failure.
    static void writeAtomically(const QString &fileName, const QByteArray &bytes,
                                const QString &source);
    // The same, with the bytes written to the device as they are made.
    static void writeAtomically(const QString &fileName,
                                const std::function<void(QIODevice &)> &write,
                                const QString &source);
};

} // namespace ixo
