#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace ixo {

// A state's data as the library keeps it: the bytes a DBA sees in the data column, and what
// they were. Binary setups and SCPI text are kept as they are; any other value in the
// document's own encoding, so that nothing is lost on the way.
class IXO_EXPORT StateData {
public:
    static const QString kBytes;
    static const QString kText;
    static const QString kEncoded;

    static StateData fromVariant(const QVariant &data);
    // Raises InvalidFileFormat for a kind this version does not know.
    static QVariant toVariant(const QString &kind, const QByteArray &bytes, const QString &state);

    const QString &kind() const { return m_kind; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    StateData(QString kind, QByteArray bytes);

    QString m_kind;
    QByteArray m_bytes;
};

} // namespace ixo
