#include "desktop/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QSettings>
#include <QVBoxLayout>

namespace ixo {

const QString SettingsDialog::kPreviewKey = QStringLiteral("restorePreview");
const QString SettingsDialog::kVerifyKey = QStringLiteral("verifyRestore");
const QString SettingsDialog::kSafetyCaptureKey = QStringLiteral("safetyCapture");

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , m_preview(new QCheckBox(tr("Before a restore, show the settings it changes and ask"), this))
    , m_verify(new QCheckBox(tr("After a restore, capture again and warn of settings that did "
                                "not take (from the next connection on)"),
                             this))
    , m_safetyCapture(new QCheckBox(tr("Before a restore, keep the instrument's present setup, so "
                                       "that Edit > Undo Restore can put it back"),
                                    this)) {
    setWindowTitle(tr("Settings"));
    m_preview->setObjectName(kPreviewKey);
    m_preview->setChecked(previewEnabled());
    m_verify->setObjectName(kVerifyKey);
    m_verify->setChecked(verifyEnabled());
    m_safetyCapture->setObjectName(kSafetyCaptureKey);
    m_safetyCapture->setChecked(safetyCaptureEnabled());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addWidget(m_verify);
    layout->addWidget(m_safetyCapture);
    layout->addWidget(buttons);
}

bool SettingsDialog::previewEnabled() {
    return QSettings().value(kPreviewKey, true).toBool();
}

bool SettingsDialog::verifyEnabled() {
    return QSettings().value(kVerifyKey, false).toBool();
}

bool SettingsDialog::safetyCaptureEnabled() {
    return QSettings().value(kSafetyCaptureKey, true).toBool();
}

void SettingsDialog::store() const {
    QSettings settings;
    settings.setValue(kPreviewKey, m_preview->isChecked());
    settings.setValue(kVerifyKey, m_verify->isChecked());
    settings.setValue(kSafetyCaptureKey, m_safetyCapture->isChecked());
}

} // namespace ixo
