#pragma once

#include "automation/Export.h"
#include "instruments/InstrumentProfile.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace ixo {

// The profiles a program knows: the built-in ones (compiled in), then the user's own *.json
// files, which replace a built-in profile of the same name. A broken file is left out with a
// message naming it, the field and what is wrong; the others still load.
class IXO_EXPORT InstrumentProfiles {
public:
    static const QString kGenericName;
    static const QString kSimulatorName;
    // Shown as the source of a compiled-in profile.
    static const QString kBuiltIn;

    // The user's folder: QStandardPaths::AppConfigLocation + "/profiles".
    static QString userDirectory();
    // The built-in profiles and those of userDirectory().
    static std::shared_ptr<const InstrumentProfiles> load();

    // The built-in profiles, and those of directory unless it is empty.
    explicit InstrumentProfiles(const QString &directory = QString());

    const QList<InstrumentProfile> &profiles() const { return m_profiles; }
    QStringList problems() const { return m_problems; }
    QString directory() const { return m_directory; }

    // The profile of that name (letter case aside), or nullptr.
    const InstrumentProfile *find(const QString &name) const;
    // Raises InvalidProcedureCall listing the known names when there is none of that name.
    const InstrumentProfile &named(const QString &name) const;
    // The most particular matching profile; of equally particular ones a user's, then the
    // first by name. The generic profile matches every instrument.
    const InstrumentProfile &matching(const QString &manufacturer, const QString &model) const;

private:
    void add(InstrumentProfile profile);
    void loadBuiltIn();
    void loadDirectory();

    QString m_directory;
    QList<InstrumentProfile> m_profiles;
    QStringList m_problems;
};

} // namespace ixo
