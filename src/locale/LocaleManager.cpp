#include "locale/LocaleManager.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "locale/LocaleResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTranslator>

namespace ixo {

namespace {

const QString kLocaleManagerSource = QStringLiteral("IxoLocale.LocaleManager");
const char kDirectoryVariable[] = "IXO_TRANSLATIONS_DIR";

QString categoryOf(const QString &qmFile) {
    QTranslator catalogue;
    if (!catalogue.load(qmFile))
        return {};
    return catalogue.translate(nullptr, "CategoryId");
}

void appendExisting(QStringList &directories, const QString &path) {
    const QString clean = QDir::cleanPath(path);
    if (QDir(clean).exists() && !directories.contains(clean))
        directories.append(clean);
}

} // namespace

LocaleManager::LocaleManager(QObject *parent)
    : QObject(parent) {}

ObjectRef LocaleManager::CreateResources(const QString &CategoryId, std::int32_t CountryCode) {
    const QString file = catalogueFile(CategoryId, CountryCode);
    if (file.isEmpty())
        throw AutomationError(ErrorNumber::Fail, kLocaleManagerSource,
                              QStringLiteral("No catalogue for category %1 and country code %2")
                                  .arg(CategoryId)
                                  .arg(CountryCode));
    return LocaleResources::load(file, CountryCode);
}

bool LocaleManager::IsFontAvailable(const QString &FontName) {
    if (FontName.isEmpty() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QFontDatabase::families().contains(FontName, Qt::CaseInsensitive);
}

QStringList LocaleManager::catalogueDirectories() {
    const QString overridden = qEnvironmentVariable(kDirectoryVariable);
    if (!overridden.isEmpty())
        return {QDir::cleanPath(overridden)};
    QStringList directories;
    if (QCoreApplication::instance())
        appendExisting(directories, QCoreApplication::applicationDirPath() +
                                        QStringLiteral("/" IXO_TRANSLATIONS_FROM_BINDIR));
    appendExisting(directories, QStringLiteral(IXO_INSTALLED_TRANSLATIONS_DIR));
    appendExisting(directories, QStringLiteral(IXO_BUILD_TRANSLATIONS_DIR));
    return directories;
}

QString LocaleManager::catalogueFile(const QString &categoryId, std::int32_t countryCode) {
    if (categoryId.isEmpty())
        return {};
    const QStringList pattern{QStringLiteral("*_%1.qm").arg(countryCode)};
    for (const QString &path : catalogueDirectories()) {
        const QDir directory(path);
        for (const QString &name : directory.entryList(pattern, QDir::Files, QDir::Name)) {
            const QString file = directory.filePath(name);
            if (categoryOf(file).compare(categoryId, Qt::CaseInsensitive) == 0)
                return file;
        }
    }
    return {};
}

} // namespace ixo
