#include "model/StateDocument.h"

#include "automation/ErrorNumber.h"
#include "model/DocumentErrors.h"
#include "model/ItemStateInfo.h"
#include "model/StateInfo.h"
#include "model/StateReference.h"
#include "support/FileIo.h"
#include "support/HostDocument.h"

#include <QFile>

namespace ixo {

namespace {

const QString kRolesCountKey = QStringLiteral("Count");
const QString kNameKey = QStringLiteral("Name%1");
const QString kResourceKey = QStringLiteral("Resource%1");
const QString kProfileKey = QStringLiteral("Profile%1");
const QString kSafetyKey = QStringLiteral("SafetyCapture%1");
const QString kHistoryKey = QStringLiteral("History%1");
const QString kStatesKey = QStringLiteral("StateInfo%1");

QVariant refOf(const std::shared_ptr<StateInfo> &states) {
    return QVariant::fromValue<ObjectRef>(states);
}

std::shared_ptr<StateInfo> listIn(const PropertyBag &bag, const QString &key,
                                  const QString &fileName) {
    if (!bag.contains(key))
        return std::make_shared<StateInfo>();
    auto states = std::dynamic_pointer_cast<StateInfo>(bag.ReadProperty(key).value<ObjectRef>());
    if (!states)
        DocumentErrors::fail(ErrorNumber::InvalidFileFormat,
                             QStringLiteral("%1 holds no list of saved states").arg(fileName));
    return states;
}

PropertyBag benchOf(const PropertyBag &bag) {
    PropertyBag bench;
    if (bag.contains(StateDocument::kBenchKey))
        bench.setContents(bag.ReadProperty(StateDocument::kBenchKey));
    return bench;
}

} // namespace

const QString StateDocument::kFormatVersionKey = QStringLiteral("FormatVersion");
const QString StateDocument::kBenchKey = QStringLiteral("Bench");

StateDocument::StateDocument(std::shared_ptr<IxoResource> texts)
    : m_texts(std::move(texts)) {
    m_roles.emplace_back(BenchRole::kDefaultName, m_texts);
}

PropertyBag StateDocument::load(const QString &fileName) {
    PropertyBag bag;
    try {
        bag = HostDocument::load(fileName);
    } catch (const AutomationError &error) {
        // A file of another kind says so first; the decoder's reason follows.
        if (error.number() != ErrorNumber::InvalidFileFormat)
            throw;
        DocumentErrors::fail(error.number(),
                             QStringLiteral("%1 is not an IxoInstrSetups document: %2")
                                 .arg(fileName, error.description()));
    }
    const int version = bag.ReadProperty(kFormatVersionKey, kSingleFormatVersion).toInt();
    if (version > kFormatVersion)
        DocumentErrors::fail(
            ErrorNumber::InvalidFileFormat,
            QStringLiteral("%1 was saved by a newer version of IxoInstrSetups (document format "
                           "%2; this version reads up to %3). Nothing was changed.")
                .arg(fileName)
                .arg(version)
                .arg(kFormatVersion));
    return bag;
}

int StateDocument::formatVersionOf(const PropertyBag &bag) {
    return benchOf(bag).ReadProperty(kRolesCountKey, 1).toInt() > 1 ? kFormatVersion
                                                                    : kSingleFormatVersion;
}

void StateDocument::write(PropertyBag bag, const QString &fileName) {
    bag.WriteProperty(kFormatVersionKey, formatVersionOf(bag));
    if (QFile::exists(fileName)) {
        // The previous version is kept whole before the new one replaces it.
        const QByteArray previous =
            FileIo::readLimited(fileName, HostDocument::kMaxFileSize, DocumentErrors::kSource);
        FileIo::writeAtomically(backupName(fileName), previous, DocumentErrors::kSource);
    }
    HostDocument::save(bag, fileName);
}

QString StateDocument::backupName(const QString &fileName) {
    return fileName + QStringLiteral(".bak");
}

std::shared_ptr<StateInfo> StateDocument::stateListOf(const PropertyBag &bag,
                                                      const QString &fileName) {
    return listIn(bag, HostDocument::kStateListKey, fileName);
}

StateDocument StateDocument::open(const QString &fileName, std::shared_ptr<IxoResource> texts) {
    return fromBag(load(fileName), std::move(texts), fileName);
}

StateDocument StateDocument::fromBag(PropertyBag bag, std::shared_ptr<IxoResource> texts,
                                     const QString &fileName) {
    StateDocument document(std::move(texts));
    document.m_fileName = fileName;
    document.readBench(bag);
    document.m_bag = std::move(bag);
    return document;
}

// Everything is read before the document takes it, so a damaged file changes nothing.
void StateDocument::readBench(const PropertyBag &bag) {
    const PropertyBag bench = benchOf(bag);
    const int count = bench.ReadProperty(kRolesCountKey, 1).toInt();
    if (count < 1 || count > 256)
        DocumentErrors::fail(ErrorNumber::InvalidFileFormat,
                             QStringLiteral("%1 names %2 instruments").arg(m_fileName).arg(count));
    std::vector<BenchRole> roles;
    for (int i = 1; i <= count; ++i) {
        const QString n = QString::number(i);
        const QString name =
            bench.ReadProperty(kNameKey.arg(n), BenchRole::kDefaultName).toString();
        auto states =
            i == 1 ? stateListOf(bag, m_fileName) : listIn(bench, kStatesKey.arg(n), m_fileName);
        BenchRole &role = roles.emplace_back(name, m_texts, std::move(states));
        role.setResource(bench.ReadProperty(kResourceKey.arg(n), QString()).toString());
        role.setProfile(bench.ReadProperty(kProfileKey.arg(n), QString()).toString());
        role.setSafetyCapture(bench.ReadProperty(kSafetyKey.arg(n), true).toBool());
        role.history() = RestoreHistory::fromContents(
            bench.ReadProperty(kHistoryKey.arg(n), QByteArray()).toByteArray());
    }
    m_roles = std::move(roles);
}

QByteArray StateDocument::benchContents() const {
    PropertyBag bench;
    bench.WriteProperty(kRolesCountKey, int(m_roles.size()));
    for (std::size_t i = 0; i < m_roles.size(); ++i) {
        const BenchRole &role = m_roles[i];
        const QString n = QString::number(i + 1);
        bench.WriteProperty(kNameKey.arg(n), role.name());
        bench.WriteProperty(kResourceKey.arg(n), role.resource());
        bench.WriteProperty(kProfileKey.arg(n), role.profile());
        bench.WriteProperty(kSafetyKey.arg(n), role.safetyCapture());
        bench.WriteProperty(kHistoryKey.arg(n), role.history().toContents());
        if (i > 0)
            bench.WriteProperty(kStatesKey.arg(n), refOf(role.stateInfo()));
    }
    return bench.Contents();
}

PropertyBag StateDocument::toBag() const {
    PropertyBag bag = m_bag;
    bag.WriteProperty(HostDocument::kStateListKey, refOf(stateInfo()));
    bag.WriteProperty(kBenchKey, benchContents());
    bag.WriteProperty(kFormatVersionKey, formatVersionOf(bag));
    return bag;
}

void StateDocument::save(const QString &fileName) {
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    if (target.isEmpty())
        DocumentErrors::fail(ErrorNumber::FileNotFound,
                             QStringLiteral("The document has no file name yet"));
    write(toBag(), target);
    m_fileName = target;
}

bool StateDocument::isBench() const {
    return m_roles.size() > 1 || m_roles.front().name() != BenchRole::kDefaultName;
}

BenchRole *StateDocument::findRole(const QString &name) {
    for (BenchRole &role : m_roles) {
        if (role.name().compare(name, Qt::CaseInsensitive) == 0)
            return &role;
    }
    return nullptr;
}

const BenchRole &StateDocument::role(const QString &name) const {
    return const_cast<StateDocument *>(this)->role(name);
}

BenchRole &StateDocument::role(const QString &name) {
    if (name.isEmpty()) {
        if (m_roles.size() == 1)
            return m_roles.front();
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("The document is a bench of %1 instruments (%2); "
                                            "say which role")
                                 .arg(m_roles.size())
                                 .arg(roleNames()));
    }
    if (BenchRole *found = findRole(name))
        return *found;
    DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                         QStringLiteral("The document has no instrument in the role %1 (its "
                                        "roles: %2)")
                             .arg(name, roleNames()));
}

QString StateDocument::roleNames() const {
    QStringList names;
    for (const BenchRole &role : m_roles)
        names << role.name();
    return names.join(QStringLiteral(", "));
}

BenchRole &StateDocument::addRole(const QString &name, const QString &resource,
                                  const QString &profile) {
    if (!BenchRole::isValidName(name))
        DocumentErrors::fail(ErrorNumber::InvalidProcedureCall,
                             QStringLiteral("%1 is no role name: use letters, digits, - and _, "
                                            "starting with a letter")
                                 .arg(name));
    if (findRole(name))
        DocumentErrors::refuse(ErrorNumber::DuplicateKey,
                               QStringLiteral("The bench has a %1 already").arg(name));
    const BenchRole &first = m_roles.front();
    if (m_roles.size() == 1 && first.name() == BenchRole::kDefaultName && first.count() == 0 &&
        first.resource().isEmpty())
        m_roles.clear();
    BenchRole &role = m_roles.emplace_back(name, m_texts);
    role.setResource(resource);
    role.setProfile(profile);
    return role;
}

void StateDocument::removeRole(const QString &name, bool force) {
    const BenchRole &found = role(name);
    if (found.count() > 0 && !force)
        DocumentErrors::refuse(ErrorNumber::InvalidProcedureCall,
                               QStringLiteral("The %1 has %2 saved states; they would go with it. "
                                              "Nothing was changed.")
                                   .arg(found.name())
                                   .arg(found.count()));
    if (m_roles.size() == 1) {
        m_roles.front() = BenchRole(BenchRole::kDefaultName, m_texts);
        return;
    }
    std::erase_if(m_roles, [&](const BenchRole &role) { return &role == &found; });
}

void StateDocument::replaceStates(const QString &name, std::shared_ptr<StateInfo> states) {
    BenchRole &target = role(name);
    BenchRole replaced(target.name(), m_texts, std::move(states));
    replaced.setResource(target.resource());
    replaced.setProfile(target.profile());
    replaced.setSafetyCapture(target.safetyCapture());
    replaced.history() = target.history();
    target = std::move(replaced);
}

QVariant StateDocument::dataOf(const QString &reference,
                               const std::shared_ptr<IxoResource> &texts) {
    return StateReference::dataOf(
        reference,
        [&texts](const QString &document, const QString &name) {
            StateDocument opened = open(document, texts);
            const qsizetype colon = name.indexOf(QLatin1Char(':'));
            if (const BenchRole *role = colon > 0 ? opened.findRole(name.left(colon)) : nullptr)
                return role->state(name.mid(colon + 1))->data();
            return opened.role().state(name)->data();
        },
        DocumentErrors::kSource);
}

} // namespace ixo
