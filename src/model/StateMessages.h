#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

class IxoResource;

// The refusals of a state that belongs to another instrument, in the words of a provider.
// Shared by the control and the command-line host so both say the same.
class IXO_EXPORT StateMessages {
public:
    static QString restoreRefused(IxoResource &texts, const QString &model, const QString &version);
    static QString importRefused(IxoResource &texts, const QString &model, const QString &version);
};

} // namespace ixo
