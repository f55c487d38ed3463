#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"
#include "automation/Persistable.h"
#include "locale/IxoResourceClient.h"

#include <QColor>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QGroupBox;
class QPushButton;

namespace ixo {

class CommonDialog;
class ListView;
class PropertyBag;
class StateCommands;
class StateInfo;

// The control a host places on its window to keep a list of saved instrument setups. Row i of
// the list stands for Items(i) of the attached StateInfo and shows its name and description.
class IXO_EXPORT InstrumentState : public QWidget, public IxoResourceClient, public Persistable {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "IxoInstrSetups.InstrumentState")
    Q_CLASSINFO("ClassID", "{69B1A2C0-5865-4C44-A8BA-843BF1875C71}")
    Q_CLASSINFO("InterfaceID", "{54221E6E-71D1-47B3-9E51-54E4B695BD2B}")
    Q_CLASSINFO("EventInterfaceID", "{DDB7123B-43A6-47C5-B50A-04E168BE5280}")
    Q_PROPERTY(
        ixo::ObjectRef InstrumentStateInfo READ InstrumentStateInfo WRITE setInstrumentStateInfo)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(QString IxoResourceClient_CategoryId READ CategoryId)
    Q_PROPERTY(int IxoResourceClient_CountryCode READ CountryCode)
    Q_PROPERTY(ixo::ObjectRef IxoResourceClient_Resources READ Resources WRITE setResources)

public:
    static constexpr int kDefaultPointer = 0;
    static constexpr int kHourglass = 11;
    static const QColor kGrey;

    explicit InstrumentState(QWidget *parent = nullptr);
    ~InstrumentState() override;

    ObjectRef InstrumentStateInfo() const;
    // Lists the states of a StateInfo; anything else fails with error 13, Nothing with 91.
    void setInstrumentStateInfo(const ObjectRef &stateInfo);
    // Takes the current-setup marker off every row.
    Q_INVOKABLE void ClearSelectedIcon();

    int MousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);

    QString CategoryId() const override;
    std::int32_t CountryCode() const override;
    ObjectRef Resources() const override;
    void setResources(const ObjectRef &Resources) override;
    void LoadResources(std::int32_t CountryCode) override;
    Q_INVOKABLE void IxoResourceClient_LoadResources(int CountryCode);

    void InitProperties() override;
    void ReadProperties(PropertyBag &propBag) override;
    void WriteProperties(PropertyBag &propBag) override;
    Q_INVOKABLE void ReadProperties(ixo::PropertyBag *propBag);
    Q_INVOKABLE void WriteProperties(ixo::PropertyBag *propBag);

    // Shared by the commands.
    void EnableStateButtons(bool enable);
    QString GetUniqueStateName() const;
    std::shared_ptr<StateInfo> stateInfo() const { return m_stateInfo; }

    ListView *stateListView;
    QPushButton *editNameBtn;
    QPushButton *removeBtn;
    QPushButton *importBtn;
    QPushButton *exportBtn;
    QGroupBox *Frame1;
    QGroupBox *Frame2;
    QPushButton *captureNewBtn;
    QPushButton *restoreBtn;
    QGroupBox *Frame3;
    CommonDialog *OpenSaveDialog;

signals:
    // The highlighted row changed: name is its text (the state's Name), empty when no row is
    // highlighted. For hosts that show something about the highlighted state.
    void SelectionChanged(const QString &name);

private:
    void buildControls();
    void buildListView();
    void connectCommands();
    void sizeColumns();
    void addRowFor(int index);
    void applyTexts();
    // The work of reading or writing the control's properties; failures point at help.
    void withHelp(const std::function<void()> &work);

    std::shared_ptr<StateInfo> m_stateInfo;
    std::unique_ptr<StateCommands> m_commands;
    int m_mousePointer = kDefaultPointer;
};

} // namespace ixo
