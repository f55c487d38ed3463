#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"
#include "locale/IxoResourceRef.h"
#include "locale/LocaleManager.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

namespace ixo {

// Puts localized texts into controls. A control's "Tag" holds markup such as
// "Caption=203;ToolTipText=235": each entry names a field and the resource id of its text.
// Forms, frames and list views (with their column headers) are walked into, each control once
// per walk. Applying texts never throws: problems are shown in a message box or passed over.
class IXO_EXPORT CIxoResourcesAgent {
public:
    using LocaleManagerFactory = std::function<LocaleManagerRef()>;

    // Starts with a new built-in provider.
    explicit CIxoResourcesAgent(LocaleManagerFactory factory = defaultLocaleManagerFactory());

    CIxoResourcesAgent(const CIxoResourcesAgent &) = delete;
    CIxoResourcesAgent &operator=(const CIxoResourcesAgent &) = delete;

    // An object that is no IxoResource fails with error 13 and changes nothing; Nothing
    // empties the provider and then fails with error 91.
    void SetResources(const ObjectRef &Resources);
    // Chooses the provider for the country code and returns it; falls back to the built-in
    // provider whenever a localized one cannot be had.
    ObjectRef LoadResourcesForObject(const QString &CategoryId, std::int32_t CountryCode);
    void SetResourceValuesForObject(QObject *Ctrl) noexcept;
    void SetResourceValuesWithMarkupString(QObject *Ctrl, const QString &MarkupString) noexcept;
    // CtrlList: a list of controls (QObjectList, QVariantList of objects) or an object with
    // Count and Item(i) counted from 1.
    void SetResourceValuesForSubordinateObjects(const QVariant &CtrlList) noexcept;

    ObjectRef resources() const { return m_resources.object(); }
    void setLocaleManagerFactory(LocaleManagerFactory factory);
    static LocaleManagerFactory defaultLocaleManagerFactory();

private:
    struct TagEntry {
        QString fieldName;
        QString idText;
    };

    void SetResourceValueForField(QObject *Ctrl, const QString &FieldName,
                                  std::int16_t ResId) noexcept;
    static std::vector<TagEntry> ParseTagFieldOfObject(const QString &MarkupString);

    // Marks the walk under way for as long as it lives.
    class WalkScope {
    public:
        explicit WalkScope(CIxoResourcesAgent &agent);
        ~WalkScope();
        WalkScope(const WalkScope &) = delete;
        WalkScope &operator=(const WalkScope &) = delete;

    private:
        CIxoResourcesAgent &m_agent;
    };

    void applyMarkup(QObject &ctrl, const std::vector<TagEntry> &entries);
    void applyColumnHeaders(QObject &listView);
    ObjectRef chooseProvider(const QString &categoryId, std::int32_t countryCode);
    void useDefaultProvider();

    IxoResourceRef m_resources;
    LocaleManagerFactory m_localeManagerFactory;
    // A form's Controls already holds the controls inside its frames, and a frame's Controls
    // lists them again: a control reached twice in one walk is passed over the second time.
    QSet<const QObject *> m_walked;
    int m_walkDepth = 0;
};

} // namespace ixo
