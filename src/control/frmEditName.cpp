#include "control/frmEditName.h"

#include "automation/widgets/Interaction.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/Twips.h"
#include "control/EventGuard.h"
#include "control/ResourceText.h"
#include "locale/TextId.h"
#include "model/ItemStateInfo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <limits>

namespace ixo {

namespace {

template <typename Widget>
Widget *makeControl(QDialog &form, const char *name, const QString &tag, int left, int top,
                    int width, int height) {
    // Owned by the form through the Qt parent.
    auto *widget = new Widget(&form);
    widget->setObjectName(QString::fromLatin1(name));
    if (!tag.isEmpty())
        widget->setProperty("Tag", tag);
    Twips::place(*widget, left, top, width, height);
    return widget;
}

} // namespace

frmEditName::frmEditName(QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmEditName"));
    setWindowTitle(QStringLiteral("Form1"));
    buildControls();
    setFixedSize(Twips::toPixelsX(4275, *this), Twips::toPixelsY(3240, *this));
    connect(okBtn, &QPushButton::clicked, this, &frmEditName::okBtn_Click);
    connect(cancelBtn, &QPushButton::clicked, this, &frmEditName::cancelBtn_Click);
}

// Created in tab order, so focus starts in the name box.
void frmEditName::buildControls() {
    Label1 =
        makeControl<QLabel>(*this, "Label1", QStringLiteral("Caption=200"), 120, 120, 1455, 255);
    Label1->setText(QStringLiteral("Name: label caption"));
    nameTextBox = makeControl<QLineEdit>(*this, "nameTextBox", {}, 120, 360, 1935, 375);
    // A name has no length limit; Qt's default would cut it at 32767 characters.
    nameTextBox->setMaxLength(std::numeric_limits<int>::max());
    Label2 =
        makeControl<QLabel>(*this, "Label2", QStringLiteral("Caption=201"), 120, 840, 1935, 255);
    Label2->setText(QStringLiteral("Description: label caption"));
    descriptionText =
        makeControl<QPlainTextEdit>(*this, "descriptionText", {}, 120, 1200, 4095, 1455);
    descriptionText->setTabChangesFocus(true);
    okBtn = makeControl<QPushButton>(*this, "okBtn", QStringLiteral("Caption=217;ToolTipText=244"),
                                     2160, 2760, 975, 375);
    okBtn->setText(QStringLiteral("OK button caption"));
    okBtn->setToolTip(QStringLiteral("OK button ToolTipText"));
    okBtn->setDefault(true);
    cancelBtn = makeControl<QPushButton>(
        *this, "cancelBtn", QStringLiteral("Caption=218;ToolTipText=245"), 3240, 2760, 975, 375);
    cancelBtn->setText(QStringLiteral("Cancel button caption"));
    cancelBtn->setToolTip(QStringLiteral("Cancel button ToolTipText"));
    nameTextBox->setFocus();
}

void frmEditName::Init(std::shared_ptr<ItemStateInfo> parm1, CollectionRef currCollection) {
    m_state = std::move(parm1);
    m_collection = std::move(currCollection);
    m_startingName = m_state ? m_state->Name() : QString();
    descriptionText->setPlainText(m_state ? m_state->Description() : QString());
    nameTextBox->setText(m_startingName);
}

void frmEditName::okBtn_Click() {
    EventGuard::run([this] { confirm(); });
}

void frmEditName::confirm() {
    const QString name = nameTextBox->text();
    if (name != m_startingName && isTaken(name)) {
        Interaction::current()->messageBox(name + ResourceText::get(TextId::kNameTaken),
                                           MessageBoxStyle::Critical,
                                           ResourceText::get(TextId::kErrorTitle));
        nameTextBox->setFocus();
        return;
    }
    okSelected = true;
    if (m_state) {
        m_state->setDescription(descriptionText->toPlainText());
        m_state->setName(name);
    }
    accept();
}

bool frmEditName::isTaken(const QString &name) const {
    return m_collection && m_collection->containsKey(name);
}

void frmEditName::cancelBtn_Click() {
    okSelected = false;
    reject();
}

} // namespace ixo
