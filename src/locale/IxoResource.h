#pragma once

#include "automation/Export.h"

#include <QImage>
#include <QString>
#include <QVariant>
#include <cstdint>

namespace ixo {

// A resource provider: the texts, pictures and data of one language, looked up by id.
// Every failure is an AutomationError.
class IXO_EXPORT IxoResource {
public:
    virtual ~IxoResource();

    // The font the provider's texts need.
    virtual QString FontName() const = 0;
    virtual std::int32_t FontSize() const = 0;
    virtual std::int32_t CodePage() const = 0;
    virtual QString LoadResString(std::int32_t IDString) = 0;
    // Format: 0 bitmap, 1 icon, 2 cursor.
    virtual QImage LoadResPicture(std::int32_t IDGraphic, std::int32_t Format) = 0;
    // The resource's bytes as a byte-array value; Format is the numeric resource type.
    virtual QVariant LoadResData(std::int32_t IDData, std::int32_t Format) = 0;
    virtual QString Mask(std::int32_t IDMask) = 0;
    // The language's display name.
    virtual QString Language() const = 0;
    // The country code the provider serves; 0 for the built-in one.
    virtual std::int32_t CountryCode() const = 0;
    virtual std::int16_t PrimaryLanguageID() const = 0;
    virtual std::int16_t SecondaryLanguageID() const = 0;
    virtual QString Version() const = 0;
    virtual QString HelpfileName() const = 0;

protected:
    IxoResource() = default;
    IxoResource(const IxoResource &) = default;
    IxoResource &operator=(const IxoResource &) = default;
};

} // namespace ixo
