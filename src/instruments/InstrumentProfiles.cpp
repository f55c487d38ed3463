#include "instruments/InstrumentProfiles.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

// The library is static: its resources are registered on first use.
static void initProfileResources() {
    Q_INIT_RESOURCE(profiles);
}

namespace ixo {

namespace {

const QString kInstrumentProfilesSource = QStringLiteral("IxoInstrSetups.InstrumentProfiles");
const QString kResourceFolder = QStringLiteral(":/ixoinstrsetups/profiles");
// A profile is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxFileSize = 1024 * 1024;

bool isBuiltIn(const InstrumentProfile &profile) {
    return profile.source.startsWith(QLatin1Char(':'));
}

} // namespace

const QString InstrumentProfiles::kGenericName = QStringLiteral("ieee488.2-generic");
const QString InstrumentProfiles::kSimulatorName = QStringLiteral("ixo-simulator");
const QString InstrumentProfiles::kBuiltIn = QStringLiteral("built-in");

QString InstrumentProfiles::userDirectory() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
           QStringLiteral("/profiles");
}

std::shared_ptr<const InstrumentProfiles> InstrumentProfiles::load() {
    return std::make_shared<const InstrumentProfiles>(userDirectory());
}

InstrumentProfiles::InstrumentProfiles(const QString &directory)
    : m_directory(directory) {
    loadBuiltIn();
    if (!m_directory.isEmpty())
        loadDirectory();
}

void InstrumentProfiles::loadBuiltIn() {
    static const bool registered = (initProfileResources(), true);
    Q_UNUSED(registered);
    const QDir folder(kResourceFolder);
    for (const QString &name :
         folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        // Built-in files are checked by the tests; a failure here is a build fault.
        if (file.open(QIODevice::ReadOnly))
            add(InstrumentProfile::fromJson(file.readAll(), file.fileName()));
    }
}

void InstrumentProfiles::loadDirectory() {
    const QDir folder(m_directory);
    if (!folder.exists())
        return;
    const QStringList names =
        folder.entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Readable, QDir::Name);
    QStringList seen;
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        QFile file(path);
        if (file.size() > kMaxFileSize) {
            m_problems.append(QStringLiteral("%1: larger than %2 bytes, not a profile")
                                  .arg(path)
                                  .arg(kMaxFileSize));
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            m_problems.append(
                QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString()));
            continue;
        }
        try {
            InstrumentProfile profile = InstrumentProfile::fromJson(file.readAll(), path);
            const qsizetype twin = seen.indexOf(profile.name.toLower());
            if (twin >= 0) {
                m_problems.append(
                    QStringLiteral("%1: field \"name\": \"%2\" is already the name of %3")
                        .arg(path, profile.name, folder.filePath(names[twin])));
                seen.append(QString());
                continue;
            }
            seen.append(profile.name.toLower());
            add(std::move(profile));
        } catch (const AutomationError &error) {
            seen.append(QString());
            m_problems.append(error.description());
        }
    }
}

// A profile replaces the one of the same name loaded before it.
void InstrumentProfiles::add(InstrumentProfile profile) {
    for (InstrumentProfile &existing : m_profiles) {
        if (existing.name.compare(profile.name, Qt::CaseInsensitive) == 0) {
            existing = std::move(profile);
            return;
        }
    }
    m_profiles.append(std::move(profile));
}

const InstrumentProfile *InstrumentProfiles::find(const QString &name) const {
    for (const InstrumentProfile &profile : m_profiles)
        if (profile.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &profile;
    return nullptr;
}

const InstrumentProfile &InstrumentProfiles::named(const QString &name) const {
    if (const InstrumentProfile *profile = find(name))
        return *profile;
    QStringList names;
    for (const InstrumentProfile &profile : m_profiles)
        names.append(profile.name);
    throw AutomationError(ErrorNumber::InvalidProcedureCall, kInstrumentProfilesSource,
                          QStringLiteral("There is no instrument profile named \"%1\" (known: %2)")
                              .arg(name, names.join(QLatin1String(", "))));
}

const InstrumentProfile &InstrumentProfiles::matching(const QString &manufacturer,
                                                      const QString &model) const {
    const InstrumentProfile *best = nullptr;
    const auto better = [&](const InstrumentProfile &a, const InstrumentProfile &b) {
        const int specificityA = a.specificity(manufacturer, model);
        const int specificityB = b.specificity(manufacturer, model);
        if (specificityA != specificityB)
            return specificityA > specificityB;
        if (isBuiltIn(a) != isBuiltIn(b))
            return !isBuiltIn(a);
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    };
    for (const InstrumentProfile &profile : m_profiles)
        if (profile.matches(manufacturer, model) && (!best || better(profile, *best)))
            best = &profile;
    if (best)
        return *best;
    // A user's file of that name may have narrowed the generic profile's patterns.
    return named(kGenericName);
}

} // namespace ixo
