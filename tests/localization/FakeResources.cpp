#include "FakeResources.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"

namespace ixo::test {

namespace {

[[noreturn]] void fail() {
    throw AutomationError(ErrorNumber::Fail, QStringLiteral("Fake"), QStringLiteral("fails"));
}

} // namespace

FakeResources::FakeResources(std::int32_t countryCode, QString fontName, QString prefix)
    : m_countryCode(countryCode)
    , m_fontName(std::move(fontName))
    , m_prefix(prefix.isEmpty() ? QStringLiteral("fake%1:").arg(countryCode) : std::move(prefix)) {}

QString FakeResources::FontName() const {
    if (failFontName)
        fail();
    return m_fontName;
}

QString FakeResources::LoadResString(std::int32_t IDString) {
    if (failTexts)
        fail();
    return m_prefix + QString::number(IDString);
}

std::int32_t FakeResources::CountryCode() const {
    if (failCountryCode)
        fail();
    return m_countryCode;
}

ObjectRef FakeLocaleManager::CreateResources(const QString &CategoryId, std::int32_t CountryCode) {
    log->append(QStringLiteral("CreateResources(%1,%2)").arg(CategoryId).arg(CountryCode));
    if (!create)
        fail();
    return create(CategoryId, CountryCode);
}

bool FakeLocaleManager::IsFontAvailable(const QString &FontName) {
    log->append(QStringLiteral("IsFontAvailable(%1)").arg(FontName));
    return fontAvailable;
}

} // namespace ixo::test
