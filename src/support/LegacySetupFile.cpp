#include "support/LegacySetupFile.h"

#include "automation/AutomationError.h"
#include "automation/ClassRegistry.h"
#include "automation/ErrorNumber.h"
#include "support/FileIo.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

namespace ixo {

namespace {

const QString kLegacySetupFileSource = QStringLiteral("IxoToolbarSupport.SetupInterface");

[[noreturn]] void malformed(const QString &why) {
    throw AutomationError(ErrorNumber::InvalidFileFormat, kLegacySetupFileSource, why);
}

} // namespace

bool LegacySetupFile::takeHeader(const QString &line) {
    const QString body = line.mid(1).trimmed();
    const qsizetype colon = body.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return false;
    const QString key = body.left(colon).trimmed().toLower();
    const QString value = body.mid(colon + 1).trimmed();
    if (key == QLatin1String("model"))
        model = value;
    else if (key == QLatin1String("version"))
        version = value.isEmpty() ? QStringLiteral("*") : value;
    else if (key == QLatin1String("name"))
        name = value;
    else if (key == QLatin1String("description"))
        description = value;
    else
        return false;
    return true;
}

LegacySetupFile LegacySetupFile::parse(const QByteArray &bytes) {
    // Tabs and line ends are the only control characters a text file of commands has.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            malformed(QStringLiteral("The setup file is not text: control byte 0x%1 at offset %2")
                          .arg(c, 2, 16, QLatin1Char('0'))
                          .arg(i));
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        malformed(QStringLiteral("The setup file is not UTF-8 text"));

    static const QRegularExpression command(
        QStringLiteral("^[*:]?[A-Za-z][A-Za-z0-9:_*]*[?]?(\\s|;|$)"));
    LegacySetupFile file;
    QStringList commandLines;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('!'))) {
            file.takeHeader(line);
            continue;
        }
        if (!command.match(line).hasMatch())
            malformed(QStringLiteral("Line %1 of the setup file is not an SCPI command: %2")
                          .arg(i + 1)
                          .arg(line.left(60)));
        commandLines.append(line);
    }
    if (commandLines.isEmpty())
        malformed(QStringLiteral("The setup file holds no instrument commands"));
    file.commands = commandLines.join(QLatin1Char('\n'));
    return file;
}

LegacySetupFile LegacySetupFile::read(const QString &fileName) {
    try {
        LegacySetupFile file =
            parse(FileIo::readLimited(fileName, kMaxSize, kLegacySetupFileSource));
        if (file.name.isEmpty())
            file.name = QFileInfo(fileName).completeBaseName();
        return file;
    } catch (const AutomationError &error) {
        if (error.number() != ErrorNumber::InvalidFileFormat ||
            error.description().contains(fileName))
            throw;
        throw AutomationError(error.number(), error.source(),
                              QStringLiteral("%1: %2").arg(fileName, error.description()));
    }
}

ObjectRef LegacySetupFile::import(const QString &fileName, const QString &progId) {
    const LegacySetupFile file = read(fileName);
    ObjectRef object = ClassRegistry::instance().create(progId);
    const QMetaObject *meta = object->metaObject();
    for (const char *property : {"Name", "Description", "data", "Model", "Version"})
        if (meta->indexOfProperty(property) < 0)
            throw AutomationError(ErrorNumber::TypeMismatch, kLegacySetupFileSource,
                                  QStringLiteral("%1 does not hold a saved state").arg(progId));
    object->setProperty("Name", file.name);
    object->setProperty("Description", file.description);
    object->setProperty("data", file.commands);
    object->setProperty("Model", file.model);
    object->setProperty("Version", file.version);
    return object;
}

} // namespace ixo
