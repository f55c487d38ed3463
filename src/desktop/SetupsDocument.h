#pragma once

#include "model/StateDocument.h"
#include "support/SetupInterface.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace ixo {

class IxoResource;
class InstrumentState;
class StateInfo;

// The host's document: the bench of instruments it keeps states for, each role's list shown in
// a control of its own, and the controls' properties, saved through the document model (so a
// bench, the setups kept for Undo Restore and what other hosts keep survive). Knows whether it
// has changed since it was last opened or saved. Saving over a file keeps the file's previous
// version as "<name>.bak". Whoever changes the lists, it tells what they were before and after
// each change; changes made together, such as the removal and addition of a rename or a state
// captured on every instrument of a bench, are told as one.
class SetupsDocument : public QObject {
    Q_OBJECT

public:
    // Where a role's list is shown: the control, the instrument the control is handed, and
    // whether that can be asked now. While it cannot, the rows are marked against no
    // instrument, so every state shows as captured on another one.
    struct Binding {
        InstrumentState *control = nullptr;
        SetupInterfaceRef instrument;
        std::function<bool()> connected;
    };
    // Gives a binding for each role of a document about to be shown, in the bench's order.
    using Binder = std::function<std::vector<Binding>(const StateDocument &document)>;
    // A role of a new bench: its name and its instrument's resource.
    using NewRole = std::pair<QString, QString>;

    explicit SetupsDocument(Binder binder);

    // A new document of one instrument, or of a bench of these roles.
    void reset(const QList<NewRole> &roles = {});
    // Loads everything before changing anything, so a bad file leaves the document as it was.
    void open(const QString &fileName);
    void save(const QString &fileName);

    // Every role's list of saved states alone, to take a change of the lists back.
    QByteArray listContents() const;
    // Puts the lists back as they were; told as no change.
    void restoreList(const QByteArray &contents);
    // Tells a change made since the last one now rather than when the event loop next runs.
    void settle();
    // Shows a role's list anew (every role's without one), so that its rows are marked for the
    // instrument now connected or show states added to the list itself.
    void reattach(std::optional<std::size_t> role = std::nullopt);

    QString fileName() const { return m_model.fileName(); }
    bool isModified() const;
    // The first role's list, the only one of a document of one instrument.
    std::shared_ptr<StateInfo> stateInfo() const { return m_model.stateInfo(); }
    StateDocument &model() { return m_model; }
    const StateDocument &model() const { return m_model; }

signals:
    void listChanged(const QByteArray &before, const QByteArray &after);
    // The lists were shown anew: another document, or a change taken back.
    void attached();

private:
    void take(StateDocument document);
    QByteArray contents() const;
    QByteArray controlContents() const;
    void readControlProperties();
    void attachAll();
    void show(std::size_t role);
    void watchLists();

    Binder m_binder;
    std::shared_ptr<IxoResource> m_texts;
    StateDocument m_model;
    std::vector<Binding> m_bindings;
    QByteArray m_savedContents;
    // The lists as last told.
    QByteArray m_listContents;
    QTimer m_settle;
};

} // namespace ixo
