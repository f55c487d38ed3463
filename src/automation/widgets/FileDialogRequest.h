#pragma once

#include "automation/Export.h"

#include <QString>

namespace ixo {

// What the common file dialog is asked for. The filter has the form
// "description|pattern|description|pattern", patterns separated by ";".
struct IXO_EXPORT FileDialogRequest {
    enum class Mode { Open, Save };
    // The dialog's option flags, as the common file dialog numbers them.
    static constexpr int kOverwritePrompt = 0x2;
    static constexpr int kPathMustExist = 0x800;
    static constexpr int kFileMustExist = 0x1000;

    Mode mode = Mode::Open;
    QString title;
    QString filter;
    QString fileName;
    int flags = 0;
};

} // namespace ixo
