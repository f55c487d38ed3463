#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace ixo {

// Hands out localized resource providers. The catalogues are compiled Qt Linguist files named
// "<anything>_<country code>.qm" that name their category under the id "CategoryId". They are
// looked for in $IXO_TRANSLATIONS_DIR alone when it is set, otherwise beside the installed
// library and then in the build tree.
class IXO_EXPORT LocaleManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ProgID", "IxoLocale.LocaleManager")
    Q_CLASSINFO("ClassID", "{ACBE0788-987E-11D3-8EDB-00108301AE36}")
    Q_CLASSINFO("InterfaceID", "{695B0F0F-9880-11D3-8EDB-00108301AE36}")

public:
    explicit LocaleManager(QObject *parent = nullptr);

    // A provider (IxoResource) of the category's texts for the country code; fails with error
    // 0x80004005 when there is no such catalogue.
    Q_INVOKABLE virtual ixo::ObjectRef CreateResources(const QString &CategoryId,
                                                       std::int32_t CountryCode);
    // Whether the font is installed; without a GUI application no font is.
    Q_INVOKABLE virtual bool IsFontAvailable(const QString &FontName);

    static QStringList catalogueDirectories();
    // The catalogue file for the category and country code, empty when there is none.
    static QString catalogueFile(const QString &categoryId, std::int32_t countryCode);
};

using LocaleManagerRef = std::shared_ptr<LocaleManager>;

} // namespace ixo
