#include "support/LegacySetupFile.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

#include <QFile>
#include <QList>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoToolbarSupport.SetupInterface");

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

LegacySetupFile LegacySetupFile::parse(const QByteArray &text) {
    LegacySetupFile file;
    QList<QByteArray> commandLines;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char('!'))) {
            file.takeHeader(line);
            continue;
        }
        commandLines.append(line.toUtf8());
    }
    if (commandLines.isEmpty())
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("The setup file holds no instrument commands"));
    file.commands = commandLines.join('\n');
    return file;
}

LegacySetupFile LegacySetupFile::read(const QString &fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AutomationError(
            ErrorNumber::FileNotFound, kSource,
            QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString()));
    if (file.size() > kMaxSize)
        throw AutomationError(ErrorNumber::InvalidFileFormat, kSource,
                              QStringLiteral("%1 is too large for a setup file").arg(fileName));
    return parse(file.readAll());
}

} // namespace ixo
