#pragma once

#include "automation/Export.h"
#include "model/BenchReport.h"
#include "support/SetupInterface.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ixo {

class BenchRole;
class ItemStateInfo;
class StateDocument;

// The states of a whole bench: bench state N is the state N of every role that has one.
// Capturing one captures every instrument at once and changes the lists only when all
// captures succeeded; restoring goes through the roles in the bench's order and stops at the
// first that fails, reporting every role.
class IXO_EXPORT BenchStates {
public:
    // The instrument of a role, opened by the host; it is asked from one thread per role, so
    // it must not share a connection with another role's.
    using Instruments = std::function<SetupInterfaceRef(const BenchRole &role)>;
    // Told of one role, on the thread that asked its instrument, so that a host can show how
    // far a capture or restore has come.
    using Progress = std::function<void(const BenchRole &role)>;

    explicit BenchStates(StateDocument &document);

    // The names of the bench states, in the order they first appear along the roles.
    QStringList names() const;
    QStringList rolesWith(const QString &name) const;

    using Captures = std::vector<std::shared_ptr<ItemStateInfo>>;

    // collect, then commit. answered is told of each role whose instrument has answered or
    // failed.
    void capture(const Instruments &instruments, const QString &name, const QString &description,
                 const Progress &answered = {});
    // Every role's state, in the bench's order, captured at once and changing no list; raises
    // naming every role that failed. Safe off the thread that owns the lists.
    Captures collect(const Instruments &instruments, const QString &name,
                     const QString &description, const Progress &answered = {}) const;
    // Adds what collect gave, to every list or none, on the thread that owns the lists.
    void commit(const Captures &states);
    // restoring is told of each role as its restore begins.
    BenchReport restore(const Instruments &instruments, const QString &name,
                        const Progress &restoring = {});
    void rename(const QString &name, const QString &newName,
                const std::optional<QString> &description);
    void remove(const QString &name);
    void exportTo(const QString &name, const QString &fileName) const;
    // Every role's state fits its instrument and its name is free, or nothing is added.
    QString importFrom(const QString &fileName, const Instruments &instruments,
                       const std::optional<QString> &name);

    // How a role's instrument is named in messages.
    static QString describe(const BenchRole &role);

private:
    std::vector<BenchRole *> rolesHaving(const QString &name) const;

    StateDocument &m_document;
};

} // namespace ixo
