#pragma once

#include "support/SetupInterface.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace ixo {

class InstrumentState;
class StateInfo;

// The host's document: the control's properties and the list of saved states, kept in one
// property bag file. Knows whether it has changed since it was last opened or saved.
class SetupsDocument {
public:
    SetupsDocument(InstrumentState &control, SetupInterfaceRef instrument);

    // A new, empty list for the control.
    void reset();
    // Loads everything before changing anything, so a bad file leaves the document as it was.
    void open(const QString &fileName);
    void save(const QString &fileName);

    QString fileName() const { return m_fileName; }
    bool isModified() const;
    std::shared_ptr<StateInfo> stateInfo() const { return m_stateInfo; }

private:
    QByteArray contents() const;
    void attach(std::shared_ptr<StateInfo> stateInfo);

    InstrumentState &m_control;
    SetupInterfaceRef m_instrument;
    std::shared_ptr<StateInfo> m_stateInfo;
    QString m_fileName;
    QByteArray m_savedContents;
};

} // namespace ixo
