#pragma once

#include "automation/Export.h"

#include <QDialog>

class QCheckBox;

namespace ixo {

// The window's options, kept in the application's settings.
class IXO_EXPORT SettingsDialog : public QDialog {
    Q_OBJECT

public:
    static const QString kPreviewKey;
    static const QString kVerifyKey;
    static const QString kSafetyCaptureKey;

    explicit SettingsDialog(QWidget *parent = nullptr);

    // Whether a restore first shows the settings it changes and asks.
    static bool previewEnabled();
    // Whether instruments connected from now on check each restore by capturing again.
    static bool verifyEnabled();
    // Whether a restore first keeps the instrument's present setup for Edit > Undo Restore; a
    // role of a bench may turn this off for its instrument alone.
    static bool safetyCaptureEnabled();
    // Keeps the options as the dialog shows them.
    void store() const;

private:
    QCheckBox *m_preview;
    QCheckBox *m_verify;
    QCheckBox *m_safetyCapture;
};

} // namespace ixo
