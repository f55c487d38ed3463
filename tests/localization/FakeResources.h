#pragma once

#include "locale/IxoResource.h"
#include "locale/LocaleManager.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace ixo::test {

// A provider that answers every id with "<prefix><id>" and can be made to fail.
class FakeResources : public QObject, public IxoResource {
    Q_OBJECT

public:
    FakeResources(std::int32_t countryCode, QString fontName, QString prefix = QString());

    bool failTexts = false;
    bool failCountryCode = false;
    bool failFontName = false;

    QString FontName() const override;
    std::int32_t FontSize() const override { return 10; }
    std::int32_t CodePage() const override { return 1252; }
    QString LoadResString(std::int32_t IDString) override;
    QImage LoadResPicture(std::int32_t, std::int32_t) override { return {}; }
    QVariant LoadResData(std::int32_t, std::int32_t) override { return {}; }
    QString Mask(std::int32_t) override { return {}; }
    QString Language() const override { return QStringLiteral("Fake"); }
    std::int32_t CountryCode() const override;
    std::int16_t PrimaryLanguageID() const override { return 0; }
    std::int16_t SecondaryLanguageID() const override { return 0; }
    QString Version() const override { return QStringLiteral("0"); }
    QString HelpfileName() const override { return {}; }

private:
    std::int32_t m_countryCode;
    QString m_fontName;
    QString m_prefix;
};

// A locale manager whose answers a test sets up; it writes every call into a shared log.
class FakeLocaleManager : public LocaleManager {
    Q_OBJECT

public:
    std::function<ObjectRef(const QString &, std::int32_t)> create;
    bool fontAvailable = true;
    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();

    ObjectRef CreateResources(const QString &CategoryId, std::int32_t CountryCode) override;
    bool IsFontAvailable(const QString &FontName) override;
};

} // namespace ixo::test
