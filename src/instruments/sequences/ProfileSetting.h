#pragma once

#include "automation/Export.h"

#include <QJsonObject>
#include <QList>
#include <QString>

namespace ixo {

class ProfileJsonReader;

// One setting of an instrument that has no setup query: the query that reads it and the
// command that sets it again ("VOLT {}" gets the value in place of the braces). An output's
// setting is restored after all the others.
struct IXO_EXPORT ProfileSetting {
    static const QString kValue;

    QString name;
    QString query;
    QString command;
    bool output = false;

    QString commandFor(const QString &value) const;
    // "ON" and "1" (any letter case) switch an output on.
    static bool switchesOn(const QString &value);

    static ProfileSetting fromJson(const ProfileJsonReader &reader);
    static QList<ProfileSetting> listFromJson(const ProfileJsonReader &reader,
                                              const QString &field);
    QJsonObject toJson() const;
};

} // namespace ixo
