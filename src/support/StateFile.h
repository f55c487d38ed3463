#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

namespace ixo {

// Writes one object to a state file and reads it back. The layout is in docs/formats.md.
class IXO_EXPORT StateFile : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{F8F10D3D-77A9-11D4-98C9-00108334F514}")
    Q_CLASSINFO("InterfaceID", "{F8F10D3A-77A9-11D4-98C9-00108334F514}")

public:
    static constexpr std::uint16_t kFormatVersion = 1;
    static constexpr qint64 kDefaultMaxFileSize = qint64(256) * 1024 * 1024;
    static const QByteArray kMagic;

    explicit StateFile(QObject *parent = nullptr);

    // Written atomically: on failure an existing file keeps its old contents.
    Q_INVOKABLE void SaveObject(const ixo::ObjectRef &object, const QString &fileName);
    Q_INVOKABLE ixo::ObjectRef LoadObject(const QString &progId, const QString &fileName);
    Q_INVOKABLE QString FileExtension(const QString &fileName) const;

    qint64 maxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(qint64 bytes) { m_maxFileSize = bytes; }

    // The bytes of a state file for an object's ProgID and contents, and the way back.
    static QByteArray encode(const QString &progId, const QByteArray &contents);
    struct Decoded {
        QString progId;
        QByteArray contents;
    };
    static Decoded decode(const QByteArray &bytes, const QString &fileName);

private:
    static QByteArray contentsOf(QObject &object);
    static void fillFrom(QObject &object, const QByteArray &contents);

    qint64 m_maxFileSize = kDefaultMaxFileSize;
};

} // namespace ixo
