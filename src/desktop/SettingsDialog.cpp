#include "desktop/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QSettings>
#include <QVBoxLayout>

namespace ixo {

const QString SettingsDialog::kPreviewKey = QStringLiteral("restorePreview");
const QString SettingsDialog::kVerifyKey = QStringLiteral("verifyRestore");

SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , m_preview(new QCheckBox(tr("Before a restore, show the settings it changes and ask"), this))
    , m_verify(new QCheckBox(tr("After a restore, capture again and warn of settings that did "
                                "not take (from the next connection on)"),
                             this)) {
    setWindowTitle(tr("Settings"));
    m_preview->setObjectName(kPreviewKey);
    m_preview->setChecked(previewEnabled());
    m_verify->setObjectName(kVerifyKey);
    m_verify->setChecked(verifyEnabled());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addWidget(m_verify);
    layout->addWidget(buttons);
}

bool SettingsDialog::previewEnabled() {
    return QSettings().value(kPreviewKey, true).toBool();
}

bool SettingsDialog::verifyEnabled() {
    return QSettings().value(kVerifyKey, false).toBool();
}

void SettingsDialog::store() const {
    QSettings settings;
    settings.setValue(kPreviewKey, m_preview->isChecked());
    settings.setValue(kVerifyKey, m_verify->isChecked());
}

} // namespace ixo
