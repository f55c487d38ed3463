#pragma once

#include "automation/Export.h"
#include "locale/IxoResource.h"

#include <QObject>
#include <QTranslator>
#include <memory>

namespace ixo {

// A localized provider over one compiled Qt Linguist catalogue. Texts are looked up by their
// numeric id ("203"); the catalogue describes itself under the ids "CategoryId", "FontName",
// "FontSize", "CodePage", "Language", "PrimaryLanguageID", "SecondaryLanguageID", "Version"
// and "HelpfileName".
class IXO_EXPORT LocaleResources : public QObject, public IxoResource {
    Q_OBJECT

public:
    // Fails with error 0x80004005 when the file is no catalogue.
    static std::shared_ptr<LocaleResources> load(const QString &qmFile, std::int32_t countryCode);

    LocaleResources(std::unique_ptr<QTranslator> catalogue, std::int32_t countryCode);

    QString FontName() const override { return entry("FontName"); }
    std::int32_t FontSize() const override;
    std::int32_t CodePage() const override;
    QString LoadResString(std::int32_t IDString) override;
    QImage LoadResPicture(std::int32_t IDGraphic, std::int32_t Format) override;
    QVariant LoadResData(std::int32_t IDData, std::int32_t Format) override;
    QString Mask(std::int32_t IDMask) override;
    QString Language() const override { return entry("Language"); }
    std::int32_t CountryCode() const override { return m_countryCode; }
    std::int16_t PrimaryLanguageID() const override;
    std::int16_t SecondaryLanguageID() const override;
    QString Version() const override { return entry("Version"); }
    QString HelpfileName() const override { return entry("HelpfileName"); }

private:
    QString entry(const char *id) const;
    std::int32_t number(const char *id) const;

    std::unique_ptr<QTranslator> m_catalogue;
    std::int32_t m_countryCode;
};

} // namespace ixo
