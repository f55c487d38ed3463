#include "support/StateFile.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "automation/Persistable.h"
#include "automation/PropertyBag.h"
#include "automation/VariantType.h"
#include "support/Crc32.h"
#include "support/FileIo.h"
#include "support/PropertyBagHack.h"

namespace ixo {

namespace {

const QString kStateFileSource = QStringLiteral("IxoToolbarSupport.StateFile");
constexpr quint32 kMaxProgIdLength = 255;
constexpr qint64 kHeaderSize = 8 + 2 + 2 + 4;
constexpr qint64 kTrailerSize = 4;

[[noreturn]] void badFile(const QString &fileName, const QString &why) {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kStateFileSource,
                          QStringLiteral("%1 %2").arg(fileName, why));
}

// Reads the fixed-width fields of a state file, failing on any read past its end.
class FieldReader {
public:
    FieldReader(const QByteArray &bytes, const QString &fileName)
        : m_bytes(bytes)
        , m_fileName(fileName) {}

    QByteArray take(qint64 length) {
        if (length < 0 || length > m_bytes.size() - m_offset)
            badFile(m_fileName, QStringLiteral("is truncated."));
        QByteArray part = m_bytes.mid(m_offset, length);
        m_offset += length;
        return part;
    }

    quint32 takeUInt(int width) {
        const QByteArray part = take(width);
        quint32 value = 0;
        for (const char byte : part)
            value = (value << 8) | static_cast<quint8>(byte);
        return value;
    }

    qint64 offset() const { return m_offset; }

private:
    const QByteArray &m_bytes;
    const QString &m_fileName;
    qint64 m_offset = 0;
};

void appendUInt(QByteArray &out, quint32 value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFFu));
}

} // namespace

const QByteArray StateFile::kMagic = QByteArrayLiteral("IXOSTATE");

StateFile::StateFile(QObject *parent)
    : QObject(parent) {}

QByteArray StateFile::encode(const QString &progId, const QByteArray &contents) {
    const QByteArray id = progId.toUtf8();
    QByteArray out;
    out.reserve(kHeaderSize + id.size() + 4 + contents.size() + kTrailerSize);
    out.append(kMagic);
    appendUInt(out, kFormatVersion, 2);
    appendUInt(out, 0, 2);
    appendUInt(out, static_cast<quint32>(id.size()), 4);
    out.append(id);
    appendUInt(out, static_cast<quint32>(contents.size()), 4);
    out.append(contents);
    appendUInt(out, Crc32::of(out), 4);
    return out;
}

StateFile::Decoded StateFile::decode(const QByteArray &bytes, const QString &fileName) {
    FieldReader reader(bytes, fileName);
    if (!bytes.startsWith(kMagic))
        badFile(fileName, QStringLiteral("is not a state file."));
    reader.take(kMagic.size());
    const quint32 version = reader.takeUInt(2);
    if (version == 0 || version > kFormatVersion)
        badFile(fileName, QStringLiteral("was written in state file format %1; this program "
                                         "reads format %2 and older.")
                              .arg(version)
                              .arg(kFormatVersion));
    reader.takeUInt(2);
    const quint32 idLength = reader.takeUInt(4);
    if (idLength > kMaxProgIdLength)
        badFile(fileName, QStringLiteral("is corrupt (class name too long)."));
    Decoded decoded;
    decoded.progId = QString::fromUtf8(reader.take(idLength));
    decoded.contents = reader.take(reader.takeUInt(4));
    const quint32 expected = Crc32::of(QByteArrayView(bytes).first(reader.offset()));
    if (reader.takeUInt(4) != expected)
        badFile(fileName, QStringLiteral("is corrupt (checksum mismatch)."));
    if (reader.offset() != bytes.size())
        badFile(fileName, QStringLiteral("is corrupt (data after the end)."));
    return decoded;
}

QByteArray StateFile::contentsOf(QObject &object) {
    if (auto *hack = dynamic_cast<PropertyBagHack *>(&object)) {
        const QVariant contents = hack->WritePropertiesToVariant();
        if (variantTypeOf(contents) != VariantType::ByteArray)
            throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateFileSource);
        return contents.toByteArray();
    }
    if (auto *persistable = dynamic_cast<Persistable *>(&object)) {
        PropertyBag bag;
        persistable->WriteProperties(bag);
        return bag.Contents();
    }
    throw AutomationError(ErrorNumber::TypeMismatch, kStateFileSource,
                          QStringLiteral("An object of class %1 cannot be saved to a state file")
                              .arg(QString::fromLatin1(object.metaObject()->className())));
}

void StateFile::fillFrom(QObject &object, const QByteArray &contents) {
    if (auto *hack = dynamic_cast<PropertyBagHack *>(&object)) {
        hack->ReadPropertiesFromVariant(contents);
        return;
    }
    if (auto *persistable = dynamic_cast<Persistable *>(&object)) {
        PropertyBag bag;
        bag.setContents(contents);
        persistable->ReadProperties(bag);
        return;
    }
    throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateFileSource);
}

void StateFile::SaveObject(const ObjectRef &object, const QString &fileName) {
    if (!object)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kStateFileSource);
    const QString progId = ClassRegistry::progIdOf(*object);
    if (progId.isEmpty())
        throw AutomationError::standard(ErrorNumber::TypeMismatch, kStateFileSource);
    FileIo::writeAtomically(fileName, encode(progId, contentsOf(*object)), kStateFileSource);
}

ObjectRef StateFile::LoadObject(const QString &progId, const QString &fileName) {
    const Decoded decoded =
        decode(FileIo::readLimited(fileName, m_maxFileSize, kStateFileSource), fileName);
    if (decoded.progId.compare(progId, Qt::CaseInsensitive) != 0)
        throw AutomationError(
            ErrorNumber::TypeMismatch, kStateFileSource,
            QStringLiteral("%1 holds a %2, not a %3.").arg(fileName, decoded.progId, progId));
    ObjectRef object = ClassRegistry::instance().createForLoading(progId);
    fillFrom(*object, decoded.contents);
    return object;
}

QString StateFile::FileExtension(const QString &fileName) const {
    const qsizetype separator =
        std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < separator)
        return QString();
    return fileName.mid(dot);
}

} // namespace ixo
