#pragma once

#include "automation/PropertyBag.h"
#include "support/SetupInterface.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace ixo {

class InstrumentState;
class StateInfo;

// The host's document: the control's properties and the list of saved states, kept in one
// property bag file. Knows whether it has changed since it was last opened or saved. Saving
// over a file keeps the file's previous version as "<name>.bak". Whoever changes the list, it
// tells what the list was before and after each change; changes made together, such as the
// removal and addition of a rename, are told as one.
class SetupsDocument : public QObject {
    Q_OBJECT

public:
    // connected: whether the instrument can be asked now; while it cannot, the rows are
    // marked against no instrument, so every state shows as captured on another one.
    SetupsDocument(InstrumentState &control, SetupInterfaceRef instrument,
                   std::function<bool()> connected = {});

    // A new, empty list for the control.
    void reset();
    // Loads everything before changing anything, so a bad file leaves the document as it was.
    void open(const QString &fileName);
    void save(const QString &fileName);

    // The list of saved states alone, to take a change of the list back.
    QByteArray listContents() const;
    // Puts the list back as it was; told as no change.
    void restoreList(const QByteArray &contents);
    // Tells a change made since the last one now rather than when the event loop next runs.
    void settle();
    // Attaches the list anew, so that its rows are marked for the instrument now connected.
    void reattach();

    QString fileName() const { return m_fileName; }
    bool isModified() const;
    std::shared_ptr<StateInfo> stateInfo() const { return m_stateInfo; }

signals:
    void listChanged(const QByteArray &before, const QByteArray &after);

private:
    QByteArray contents() const;
    void attach(std::shared_ptr<StateInfo> stateInfo);
    void watchList();

    InstrumentState &m_control;
    SetupInterfaceRef m_instrument;
    std::function<bool()> m_connected;
    std::shared_ptr<StateInfo> m_stateInfo;
    PropertyBag m_bag;
    QString m_fileName;
    QByteArray m_savedContents;
    // The list as last told.
    QByteArray m_listContents;
    QTimer m_settle;
};

} // namespace ixo
