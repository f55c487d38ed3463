#pragma once

#include "automation/Collection.h"
#include "automation/Export.h"

#include <QDialog>
#include <QString>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ixo {

class ItemStateInfo;

// The modal dialog in which the user names and describes a saved state. It writes into the
// state only on OK and refuses a changed name that the collection already holds.
class IXO_EXPORT frmEditName : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool okSelected MEMBER okSelected)

public:
    explicit frmEditName(QWidget *parent = nullptr);

    // Keeps both references and shows the state's name and description.
    void Init(std::shared_ptr<ItemStateInfo> parm1, CollectionRef currCollection);

    bool okSelected = false;

    QLabel *Label1;
    QLineEdit *nameTextBox;
    QLabel *Label2;
    QPlainTextEdit *descriptionText;
    QPushButton *okBtn;
    QPushButton *cancelBtn;

private slots:
    void okBtn_Click();
    void cancelBtn_Click();

private:
    void buildControls();
    void confirm();
    bool isTaken(const QString &name) const;

    std::shared_ptr<ItemStateInfo> m_state;
    CollectionRef m_collection;
    QString m_startingName;
};

} // namespace ixo
