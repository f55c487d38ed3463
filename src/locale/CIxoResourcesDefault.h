#pragma once

#include "automation/Export.h"
#include "locale/IxoResource.h"

#include <QObject>
#include <map>

namespace ixo {

// The provider that is always there: the component's own English (United States) texts, and
// its pictures and data from the Qt resources under ":/ixoinstrsetups/". It keeps no state.
class IXO_EXPORT CIxoResourcesDefault : public QObject, public IxoResource {
    Q_OBJECT

public:
    explicit CIxoResourcesDefault(QObject *parent = nullptr);

    QString FontName() const override { return QStringLiteral("Arial"); }
    std::int32_t FontSize() const override { return 8; }
    std::int32_t CodePage() const override { return 1; }
    // Never fails: a missing text is a sentence that names the id.
    QString LoadResString(std::int32_t IDString) override;
    // ":/ixoinstrsetups/bitmap/<id>", ".../icon/<id>" or ".../cursor/<id>" for Format 0, 1, 2.
    QImage LoadResPicture(std::int32_t IDGraphic, std::int32_t Format) override;
    // ":/ixoinstrsetups/data/<Format>/<id>".
    QVariant LoadResData(std::int32_t IDData, std::int32_t Format) override;
    QString Mask(std::int32_t IDMask) override;
    QString Language() const override { return QStringLiteral("English US"); }
    std::int32_t CountryCode() const override { return 0; }
    std::int16_t PrimaryLanguageID() const override { return 1; }
    std::int16_t SecondaryLanguageID() const override { return 0; }
    QString Version() const override { return QStringLiteral("1.0.0.0"); }
    QString HelpfileName() const override { return QStringLiteral(".\\IxoProductName.hlp"); }

    // The message catalogue by id.
    static const std::map<std::int32_t, QString> &catalogue();
};

} // namespace ixo
