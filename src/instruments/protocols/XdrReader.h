#pragma once

#include "automation/Export.h"

#include <QByteArrayView>
#include <QString>

namespace ixo {

// Decodes XDR values from a complete message. Every length is checked against both the caller's
// limit and the bytes actually present before anything is taken, so a hostile length costs
// nothing. Running short or over a limit raises an AutomationError (VisaStatus::Io).
class IXO_EXPORT XdrReader {
public:
    explicit XdrReader(QByteArrayView bytes, QString what = QStringLiteral("RPC message"))
        : m_bytes(bytes)
        , m_what(std::move(what)) {}

    quint32 readUInt32();
    qint32 readInt32() { return static_cast<qint32>(readUInt32()); }
    bool readBool();
    // A view into the message; valid as long as the message is.
    QByteArrayView readOpaque(qsizetype maxLength);
    QString readString(qsizetype maxLength) { return QString::fromLatin1(readOpaque(maxLength)); }

    qsizetype remaining() const { return m_bytes.size() - m_position; }
    bool atEnd() const { return remaining() == 0; }

private:
    [[noreturn]] void fail(const QString &why) const;

    QByteArrayView m_bytes;
    QString m_what;
    qsizetype m_position = 0;
};

} // namespace ixo
