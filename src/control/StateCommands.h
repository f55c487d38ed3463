#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QString>
#include <memory>

namespace ixo {

class Collection;
class InstrumentState;
class ItemStateInfo;
class SetupInterface;
class StateInfo;

// The six commands of the control's buttons. Each runs to its end on the user-interface
// thread and tells the user of a failure in a message box; none lets a failure escape.
class IXO_EXPORT StateCommands {
public:
    explicit StateCommands(InstrumentState &control);

    void captureNew() noexcept;
    void restore() noexcept;
    void editName() noexcept;
    void remove() noexcept;
    void exportState() noexcept;
    void importState() noexcept;

private:
    void capture();
    void restoreSelected();
    void rename(int row);
    void removeRow(int row);
    void exportSelected();
    void addCapturedRow(const std::shared_ptr<ItemStateInfo> &state);
    void markCurrent(int row);
    bool chooseImportFile(QString &fileName, QString &extension);
    std::shared_ptr<ItemStateInfo> readImported(const QString &fileName, const QString &extension);
    bool fitsInstrument(const std::shared_ptr<ItemStateInfo> &state);
    bool resolveNameClash(const std::shared_ptr<ItemStateInfo> &state);
    void addImported(const std::shared_ptr<ItemStateInfo> &state);

    StateInfo &stateInfo() const;
    Collection &items() const;
    SetupInterface &setup() const;
    std::shared_ptr<ItemStateInfo> selectedState() const;
    int selectedRow() const;
    void showError(const QString &text) const;
    void showDetails(const QString &description) const;

    InstrumentState &m_control;
};

} // namespace ixo
