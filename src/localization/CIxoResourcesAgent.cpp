#include "localization/CIxoResourcesAgent.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"
#include "automation/widgets/Interaction.h"
#include "automation/widgets/MemberAccess.h"
#include "automation/widgets/MessageBoxStyle.h"
#include "automation/widgets/TypeName.h"
#include "locale/CIxoResourcesDefault.h"
#include "localization/IxoResourcesGlobals.h"

#include <QPointer>

namespace ixo {

namespace {

const QString kCIxoResourcesAgentSource = QStringLiteral("IxoInstrSetups");
const QString kLineBreak = QStringLiteral("\r\n");

void showMessage(const QString &text, int style, const QString &title) noexcept {
    try {
        Interaction::current()->messageBox(text, style, title);
    } catch (...) {
        // Nothing to tell the user with when even the message box fails.
    }
}

void showFieldMessage(const QString &fieldName, const QString &problem,
                      const QString &typeName) noexcept {
    try {
        showMessage(fieldName + kLineBreak + problem + kLineBreak +
                        QStringLiteral("for control type = ") + typeName,
                    MessageBoxStyle::Critical | MessageBoxStyle::OkOnly,
                    QStringLiteral("CIxoResourcesAgent.SetResourceValueForField"));
    } catch (...) {
        // Building the text failed: there is nothing left to show.
    }
}

QString typeNameOf(const QObject *ctrl) {
    if (!ctrl)
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kCIxoResourcesAgentSource);
    return TypeName::of(*ctrl).toLower();
}

std::int16_t resourceIdOf(const QVariant &idText) {
    return VariantConvert::toInteger(idText);
}

// The property a field name sets; empty for a name that is not recognized.
QString propertyFor(const QString &fieldName) {
    const QString name = fieldName.toLower();
    if (name == QLatin1String("caption"))
        return QStringLiteral("Caption");
    if (name == QLatin1String("text"))
        return QStringLiteral("Text");
    if (name == QLatin1String("tooltiptext"))
        return QStringLiteral("ToolTipText");
    return {};
}

bool isWalkedInto(const QString &typeName) {
    return typeName.contains(QLatin1String("frm")) || typeName.contains(QLatin1String("form")) ||
           typeName == QLatin1String("frame");
}

// Only spaces are trimmed; tabs and the like belong to the markup.
QString trimSpaces(const QString &text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// Guarded, because a message box runs an event loop in which a control may be deleted.
QList<QPointer<QObject>> guarded(const QObjectList &objects) {
    QList<QPointer<QObject>> result;
    result.reserve(objects.size());
    for (QObject *object : objects)
        result.append(object);
    return result;
}

template <typename Apply> void forEachControl(const QObjectList &controls, const Apply &apply) {
    for (const QPointer<QObject> &ctrl : guarded(controls)) {
        if (ctrl)
            apply(ctrl.data());
    }
}

// An element that is no object is one control that fails; the others still get their texts.
template <typename Apply> void forEachControl(const QVariantList &elements, const Apply &apply) {
    for (const QVariant &element : elements) {
        QObject *ctrl = nullptr;
        try {
            ctrl = MemberAccess::objectOf(element);
        } catch (const AutomationError &) {
            continue;
        }
        apply(ctrl);
    }
}

// A collection with Count and Item(i) counted from 1.
template <typename Apply> void forEachItem(QObject *collection, const Apply &apply) {
    const QPointer<QObject> list = collection;
    const std::int32_t count =
        VariantConvert::toLong(MemberAccess::get(list, QStringLiteral("Count")));
    for (std::int32_t i = 1; i <= count && list; ++i) {
        const QVariant element = MemberAccess::invoke(list, QStringLiteral("Item"), {i});
        QObject *ctrl = nullptr;
        try {
            ctrl = MemberAccess::objectOf(element);
        } catch (const AutomationError &) {
            continue; // Nothing or no object: one control that fails, not the end of the walk
        }
        apply(ctrl);
    }
}

} // namespace

CIxoResourcesAgent::CIxoResourcesAgent(LocaleManagerFactory factory)
    : m_localeManagerFactory(std::move(factory)) {
    LoadResourcesForObject(ResourceCategoryId.toString(), 0);
}

CIxoResourcesAgent::LocaleManagerFactory CIxoResourcesAgent::defaultLocaleManagerFactory() {
    return [] { return std::make_shared<LocaleManager>(); };
}

void CIxoResourcesAgent::setLocaleManagerFactory(LocaleManagerFactory factory) {
    m_localeManagerFactory = std::move(factory);
}

void CIxoResourcesAgent::SetResources(const ObjectRef &Resources) {
    if (!Resources) {
        m_resources.reset();
        throw AutomationError::standard(ErrorNumber::ObjectNotSet, kCIxoResourcesAgentSource);
    }
    m_resources = IxoResourceRef(Resources);
}

ObjectRef CIxoResourcesAgent::LoadResourcesForObject(const QString &CategoryId,
                                                     std::int32_t CountryCode) {
    try {
        return chooseProvider(CategoryId, CountryCode);
    } catch (...) {
        // Whatever went wrong, the built-in texts are always there.
        useDefaultProvider();
        return m_resources.object();
    }
}

ObjectRef CIxoResourcesAgent::chooseProvider(const QString &categoryId, std::int32_t countryCode) {
    if (m_resources->CountryCode() == countryCode)
        return m_resources.object();
    if (countryCode == 0) {
        useDefaultProvider();
        return m_resources.object();
    }
    if (!m_localeManagerFactory)
        throw AutomationError::standard(ErrorNumber::CannotCreateObject, kCIxoResourcesAgentSource);
    const LocaleManagerRef manager = m_localeManagerFactory();
    if (!manager)
        throw AutomationError::standard(ErrorNumber::CannotCreateObject, kCIxoResourcesAgentSource);
    const IxoResourceRef localized(manager->CreateResources(categoryId, countryCode));
    if (manager->IsFontAvailable(localized->FontName()))
        m_resources = localized;
    else
        useDefaultProvider();
    return m_resources.object();
}

void CIxoResourcesAgent::useDefaultProvider() {
    m_resources = IxoResourceRef(std::make_shared<CIxoResourcesDefault>());
}

CIxoResourcesAgent::WalkScope::WalkScope(CIxoResourcesAgent &agent)
    : m_agent(agent) {
    ++m_agent.m_walkDepth;
}

CIxoResourcesAgent::WalkScope::~WalkScope() {
    if (--m_agent.m_walkDepth == 0)
        m_agent.m_walked.clear();
}

void CIxoResourcesAgent::SetResourceValuesForSubordinateObjects(const QVariant &CtrlList) noexcept {
    const WalkScope walk(*this);
    const auto apply = [this](QObject *ctrl) { SetResourceValuesForObject(ctrl); };
    try {
        if (CtrlList.metaType() == QMetaType::fromType<QObjectList>())
            forEachControl(CtrlList.value<QObjectList>(), apply);
        else if (CtrlList.metaType() == QMetaType::fromType<QVariantList>())
            forEachControl(CtrlList.toList(), apply);
        else
            forEachItem(MemberAccess::objectOf(CtrlList), apply);
    } catch (...) {
        // A list that cannot be enumerated further leaves the remaining controls as they are.
    }
}

void CIxoResourcesAgent::SetResourceValuesForObject(QObject *Ctrl) noexcept {
    const WalkScope walk(*this);
    if (m_walked.contains(Ctrl))
        return;
    QString markup;
    try {
        markup = VariantConvert::toString(MemberAccess::get(Ctrl, QStringLiteral("Tag")));
    } catch (...) {
        return;
    }
    SetResourceValuesWithMarkupString(Ctrl, markup);
}

void CIxoResourcesAgent::SetResourceValuesWithMarkupString(QObject *Ctrl,
                                                           const QString &MarkupString) noexcept {
    const WalkScope walk(*this);
    if (m_walked.contains(Ctrl))
        return;
    m_walked.insert(Ctrl);
    std::vector<TagEntry> entries;
    try {
        entries = ParseTagFieldOfObject(MarkupString);
    } catch (...) {
        showMessage(QStringLiteral("General Failure"), MessageBoxStyle::OkOnly,
                    QStringLiteral("ParseTagFieldOfObject"));
        return;
    }
    try {
        if (!Ctrl)
            throw AutomationError::standard(ErrorNumber::ObjectNotSet, kCIxoResourcesAgentSource);
        applyMarkup(*Ctrl, entries);
    } catch (...) {
        // The rest of this control is abandoned; texts already written stay.
    }
}

void CIxoResourcesAgent::applyMarkup(QObject &ctrl, const std::vector<TagEntry> &entries) {
    const QPointer<QObject> alive(&ctrl);
    for (const TagEntry &entry : entries) {
        const std::int16_t id = resourceIdOf(entry.idText);
        SetResourceValueForField(&ctrl, entry.fieldName, id);
        if (!alive)
            return;
    }
    const QString typeName = typeNameOf(&ctrl);
    if (isWalkedInto(typeName))
        SetResourceValuesForSubordinateObjects(
            MemberAccess::get(&ctrl, QStringLiteral("Controls")));
    else if (typeName == QLatin1String("listview"))
        applyColumnHeaders(ctrl);
}

void CIxoResourcesAgent::applyColumnHeaders(QObject &listView) {
    const QPointer<QObject> headers =
        MemberAccess::objectOf(MemberAccess::get(&listView, QStringLiteral("ColumnHeaders")));
    const std::int32_t count =
        VariantConvert::toLong(MemberAccess::get(headers, QStringLiteral("Count")));
    for (std::int32_t i = 1; i <= count && headers; ++i) {
        QObject *header =
            MemberAccess::objectOf(MemberAccess::invoke(headers, QStringLiteral("Item"), {i}));
        // A header's Tag holds a bare id, not markup.
        const std::int16_t id = resourceIdOf(MemberAccess::get(header, QStringLiteral("Tag")));
        SetResourceValueForField(header, QStringLiteral("text"), id);
    }
}

void CIxoResourcesAgent::SetResourceValueForField(QObject *Ctrl, const QString &FieldName,
                                                  std::int16_t ResId) noexcept {
    QString typeName;
    try {
        typeName = typeNameOf(Ctrl);
    } catch (...) {
        return;
    }
    QString fieldName = FieldName;
    if (fieldName.isEmpty())
        fieldName = typeName == QLatin1String("textbox") ? QStringLiteral("text")
                                                         : QStringLiteral("caption");
    const QString property = propertyFor(fieldName);
    if (property.isEmpty()) {
        showFieldMessage(fieldName, QStringLiteral("Field name is not recognized"), typeName);
        return;
    }
    try {
        MemberAccess::set(Ctrl, property, m_resources->LoadResString(ResId));
    } catch (...) {
        showFieldMessage(fieldName, QStringLiteral("Field name is not supported"), typeName);
    }
}

std::vector<CIxoResourcesAgent::TagEntry>
CIxoResourcesAgent::ParseTagFieldOfObject(const QString &MarkupString) {
    std::vector<TagEntry> entries;
    const QStringList parts =
        trimSpaces(MarkupString.toLower()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const qsizetype equals = part.indexOf(QLatin1Char('='));
        if (equals < 0)
            entries.push_back(TagEntry{QString(), part});
        else
            entries.push_back(TagEntry{part.left(equals), part.mid(equals + 1)});
    }
    return entries;
}

} // namespace ixo
