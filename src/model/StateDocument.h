#pragma once

#include "automation/Export.h"
#include "automation/PropertyBag.h"
#include "model/BenchRole.h"
#include "model/RefusedChange.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace ixo {

class IxoResource;
class StateInfo;

// A host document (.ixs): the bench of instruments it keeps states for, each by its role with
// its own list. A document of one instrument is a bench of one, whose role may have no name of
// its own. Opening refuses a document of a newer format and changes nothing; saving keeps the
// previous file as "<name>.bak" and writes atomically; properties the document holds for
// others are kept.
//
// The first role's list is where every earlier version looks for the document's list; the
// rest of the bench is one property those versions keep without reading. A bench of more than
// one role is marked as a newer format, so that they refuse it rather than save it half.
class IXO_EXPORT StateDocument {
public:
    // The newest document format this version reads.
    static constexpr int kFormatVersion = 2;
    // The format of a document of one instrument, which earlier versions read.
    static constexpr int kSingleFormatVersion = 1;
    static const QString kFormatVersionKey;
    static const QString kBenchKey;

    // An empty document of one instrument; texts gives the messages and the names of new
    // states.
    explicit StateDocument(std::shared_ptr<IxoResource> texts);

    static StateDocument open(const QString &fileName, std::shared_ptr<IxoResource> texts);
    // A document from properties already loaded; fileName names it in messages.
    static StateDocument fromBag(PropertyBag bag, std::shared_ptr<IxoResource> texts,
                                 const QString &fileName);
    // Without a name, to the file it was opened from or last saved to.
    void save(const QString &fileName = QString());
    // The properties as save() would write them.
    PropertyBag toBag() const;
    // The host's own properties, kept as they are.
    PropertyBag &properties() { return m_bag; }

    // Reads a document's properties, refusing a newer format; writes them with the format
    // version they need, a backup and an atomic replace.
    static PropertyBag load(const QString &fileName);
    static void write(PropertyBag bag, const QString &fileName);
    static QString backupName(const QString &fileName);
    // The first role's list of a loaded document; an empty one when it holds none.
    static std::shared_ptr<StateInfo> stateListOf(const PropertyBag &bag, const QString &fileName);

    const QString &fileName() const { return m_fileName; }

    const std::vector<BenchRole> &roles() const { return m_roles; }
    // Whether the document names its instruments, or holds more than one.
    bool isBench() const;
    // The role of that name, or nullptr.
    BenchRole *findRole(const QString &name);
    // No name picks the only role; a bench of several refuses, naming its roles.
    BenchRole &role(const QString &name = QString());
    const BenchRole &role(const QString &name = QString()) const;
    // A new role at the end of the bench; the unnamed role of an empty document gives way.
    BenchRole &addRole(const QString &name, const QString &resource, const QString &profile);
    // A role with saved states is kept unless force.
    void removeRole(const QString &name, bool force);

    // The first role's list, as documents of one instrument know it.
    const std::shared_ptr<StateInfo> &stateInfo() const { return m_roles.front().stateInfo(); }
    // Puts another list in the role's place, such as one taken back.
    void replaceStates(const QString &role, std::shared_ptr<StateInfo> states);

    // The data of a state file, or of a state given as "<document>:<name>" (first role) or
    // "<document>:<role>:<name>".
    static QVariant dataOf(const QString &reference, const std::shared_ptr<IxoResource> &texts);

private:
    static int formatVersionOf(const PropertyBag &bag);
    void readBench(const PropertyBag &bag);
    QByteArray benchContents() const;
    QString roleNames() const;

    std::shared_ptr<IxoResource> m_texts;
    PropertyBag m_bag;
    std::vector<BenchRole> m_roles;
    QString m_fileName;
};

} // namespace ixo
