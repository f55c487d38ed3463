#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace ixo {

class ProfileJsonReader;

// How an instrument tells of its errors: an SCPI error queue read until "0,...", a register
// whose set bits (of a mask) mean an error, such as *ESR?, or not at all.
struct IXO_EXPORT ErrorReporting {
    enum class Form { Queue, Register, None };

    static const QString kScpiQuery;
    // The command, execution, device-dependent and query error bits of *ESR?.
    static constexpr int kEsrErrorBits = 0x3C;

    QString query = kScpiQuery;
    Form form = Form::Queue;
    int mask = kEsrErrorBits;

    // A register's answer as an error, or an empty string when it shows none; ok is false when
    // the answer is no number. A header word before the number ("CMR 0") is skipped.
    QString registerError(const QByteArray &answer, bool *ok) const;

    static ErrorReporting fromJson(const ProfileJsonReader &reader);
    QJsonObject toJson() const;
};

} // namespace ixo
