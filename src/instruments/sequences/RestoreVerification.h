#pragma once

#include "automation/Export.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace ixo {

// Compares a setup restored with the one the instrument gives back right after: text setups
// setting by setting, blocks by size and checksum. What differs did not take.
class IXO_EXPORT RestoreVerification {
public:
    // One line per setting that did not take (or one for a block); empty when all did.
    // leftAlone names settings the restore did not set on purpose.
    static QStringList differences(const QVariant &restored, const QVariant &readBack,
                                   const QSet<QString> &leftAlone = {});
};

} // namespace ixo
