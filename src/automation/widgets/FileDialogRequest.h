#pragma once

#include <QString>

namespace ixo {

// What the common file dialog is asked for. The filter has the form
// "description|pattern|description|pattern", patterns separated by ";".
struct FileDialogRequest {
    enum class Mode { Open, Save };

    Mode mode = Mode::Open;
    QString title;
    QString filter;
    QString fileName;
};

} // namespace ixo
