#include "locale/LocaleResources.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

namespace ixo {

namespace {

const QString kLocaleResourcesSource = QStringLiteral("IxoLocale.LocaleResources");

} // namespace

std::shared_ptr<LocaleResources> LocaleResources::load(const QString &qmFile,
                                                       std::int32_t countryCode) {
    auto catalogue = std::make_unique<QTranslator>();
    if (!catalogue->load(qmFile))
        throw AutomationError(ErrorNumber::Fail, kLocaleResourcesSource,
                              QStringLiteral("'%1' is not a catalogue").arg(qmFile));
    return std::make_shared<LocaleResources>(std::move(catalogue), countryCode);
}

LocaleResources::LocaleResources(std::unique_ptr<QTranslator> catalogue, std::int32_t countryCode)
    : m_catalogue(std::move(catalogue))
    , m_countryCode(countryCode) {}

QString LocaleResources::entry(const char *id) const {
    return m_catalogue->translate(nullptr, id);
}

std::int32_t LocaleResources::number(const char *id) const {
    return entry(id).toInt();
}

std::int32_t LocaleResources::FontSize() const {
    return number("FontSize");
}

std::int32_t LocaleResources::CodePage() const {
    return number("CodePage");
}

std::int16_t LocaleResources::PrimaryLanguageID() const {
    return static_cast<std::int16_t>(number("PrimaryLanguageID"));
}

std::int16_t LocaleResources::SecondaryLanguageID() const {
    return static_cast<std::int16_t>(number("SecondaryLanguageID"));
}

QString LocaleResources::LoadResString(std::int32_t IDString) {
    const QString text = entry(QByteArray::number(IDString).constData());
    // Like the built-in provider, a missing text shows up as a sentence that names the id.
    if (text.isEmpty())
        return QStringLiteral("Failed to load string for resource id=%1").arg(IDString);
    return text;
}

QImage LocaleResources::LoadResPicture(std::int32_t, std::int32_t) {
    throw AutomationError::standard(ErrorNumber::Fail, kLocaleResourcesSource);
}

QVariant LocaleResources::LoadResData(std::int32_t, std::int32_t) {
    throw AutomationError::standard(ErrorNumber::Fail, kLocaleResourcesSource);
}

QString LocaleResources::Mask(std::int32_t) {
    throw AutomationError::standard(ErrorNumber::NotImplemented, kLocaleResourcesSource);
}

} // namespace ixo
