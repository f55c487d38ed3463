#pragma once

#include "automation/Export.h"
#include "library/DocumentStore.h"
#include "model/StateDocument.h"
#include "support/SetupInterface.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace ixo {

class BenchReport;
class IxoResource;
class InstrumentState;
class ItemStateInfo;
class StateInfo;

// The host's document: the bench of instruments it keeps states for, each role's list shown in
// a control of its own, and the controls' properties, saved through the document model (so a
// bench, the setups kept for Undo Restore and what other hosts keep survive). Knows whether it
// has changed since it was last opened or saved. Saving over a file keeps the file's previous
// version as "<name>.bak". A document may also be one of a setup library, which gets only the
// changes since it was read. Whoever changes the lists, it tells what they were before and after
// each change; changes made together, such as the removal and addition of a rename or a state
// captured on every instrument of a bench, are told as one.
class IXO_EXPORT SetupsDocument : public QObject {
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
    // A file's path or a library's address. Loads everything before changing anything, so a
    // bad file or library leaves the document as it was.
    void open(const QString &location);
    // Writes a file; a library's document lives in that file from then on.
    void save(const QString &fileName);
    // Writes the changes since the library's document was read, refused (RefusedChange
    // WriteConflict) when another station changed the same state in between.
    void saveToLibrary();
    // In a library document's audit trail; nothing for a file.
    void recordRestore(const QString &role, const QString &state, const QString &instrument);
    void recordRestore(const BenchReport &report, const QString &state);
    // Puts the whole document into a library under a name it does not hold yet, the address's
    // document=, and goes on with the library's document.
    void moveToLibrary(const QString &address);

    // Every role's list of saved states alone, to take a change of the lists back.
    QByteArray listContents() const;
    // Puts the lists back as they were; told as no change.
    void restoreList(const QByteArray &contents);
    // Tells a change made since the last one now rather than when the event loop next runs.
    void settle();
    // Shows a role's list anew (every role's without one), so that its rows are marked for the
    // instrument now connected or show states added to the list itself.
    void reattach(std::optional<std::size_t> role = std::nullopt);

    // Empty for a new document and for a library's.
    QString fileName() const { return m_library ? QString() : m_model.fileName(); }
    // The file's path or the library's address.
    QString location() const;
    bool isInLibrary() const { return m_library != nullptr; }
    // The library's document, or nullptr for a file or a new document.
    LibraryDocument *libraryDocument() const { return m_library ? m_library->library() : nullptr; }
    bool isModified() const;
    // The first role's list, the only one of a document of one instrument.
    std::shared_ptr<StateInfo> stateInfo() const { return model().stateInfo(); }
    StateDocument &model() { return m_library ? m_library->document() : m_model; }
    const StateDocument &model() const { return m_library ? m_library->document() : m_model; }

signals:
    void listChanged(const QByteArray &before, const QByteArray &after);
    // The lists were shown anew: another document, or a change taken back.
    void attached();

private:
    using RoleStates = std::vector<std::vector<std::shared_ptr<ItemStateInfo>>>;

    // A library's document comes with its store, and then document is not used.
    void take(StateDocument document, std::unique_ptr<DocumentStore> library = {});
    RoleStates states() const;
    void keepObjects(const QByteArray &contents,
                     std::vector<std::shared_ptr<StateInfo>> &lists) const;
    QByteArray contents() const;
    QByteArray controlContents() const;
    void readControlProperties();
    void attachAll();
    void show(std::size_t role);
    void watchLists();

    Binder m_binder;
    std::shared_ptr<IxoResource> m_texts;
    StateDocument m_model;
    // Only while the document is a library's.
    std::unique_ptr<DocumentStore> m_library;
    std::vector<Binding> m_bindings;
    QByteArray m_savedContents;
    // The lists as last told.
    QByteArray m_listContents;
    // The states behind each content told, so that a change taken back puts the same objects
    // back: a library knows its states by object, and would save new ones as states removed
    // and added.
    std::map<QByteArray, RoleStates> m_statesOf;
    QTimer m_settle;
};

} // namespace ixo
