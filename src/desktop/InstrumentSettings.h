#pragma once

#include "automation/Export.h"

#include <QMap>
#include <QString>
#include <functional>

namespace ixo {

// How the settings panel reads and changes the connected instrument's settings.
struct IXO_EXPORT InstrumentSettings {
    // Header (such as ":FREQ") to value.
    std::function<QMap<QString, QString>()> read;
    std::function<void(const QString &header, const QString &value)> write;
};

} // namespace ixo
