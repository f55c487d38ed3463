#pragma once

#include "automation/Export.h"

#include <QCoreApplication>
#include <QStringList>

namespace ixo {

class StateDiff;

// What restoring a saved state would change on the instrument, in the user's words: one line
// per setting of a learn string, the sizes of a setup block. The diff compares the instrument's
// present setup (first) with the saved state (second).
class IXO_EXPORT RestorePreview {
    Q_DECLARE_TR_FUNCTIONS(RestorePreview)

public:
    static constexpr qsizetype kMaxLines = 40;

    // At most kMaxLines, the last one telling how many more there are.
    static QStringList lines(const StateDiff &diff);
    // The question asked before restoring onto the named instrument.
    static QString question(const QString &instrument, const StateDiff &diff);
    static QString title();
};

} // namespace ixo
