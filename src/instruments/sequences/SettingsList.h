#pragma once

#include "automation/Export.h"
#include "instruments/InstrumentProfile.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace ixo {

class ScpiInstrument;

// The setup of an instrument without a setup query, read and written setting by setting as
// its profile lists them. The setup is text, "NAME value" per setting separated by ";" as a
// learn string, so that comparisons show it setting by setting.
class IXO_EXPORT SettingsList {
public:
    SettingsList(ScpiInstrument &instrument, const InstrumentProfile &profile);

    QString capture();
    // Sets each setting the setup holds in the profile's order, outputs last.
    void restore(const QString &setup);

    QStringList warnings() const { return m_warnings; }
    // Settings a restore left as they were on purpose, such as an output kept off.
    QSet<QString> leftAlone() const { return m_leftAlone; }

    static QString setupText(const QList<std::pair<QString, QString>> &values);

private:
    QList<ProfileSetting> restoreOrder() const;
    void failOnErrors(const QString &operation);

    ScpiInstrument &m_instrument;
    const InstrumentProfile &m_profile;
    QStringList m_warnings;
    QSet<QString> m_leftAlone;
};

} // namespace ixo
