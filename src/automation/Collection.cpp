#include "automation/Collection.h"

#include "automation/AutomationError.h"
#include "automation/CaseFold.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"
#include "automation/VariantType.h"

namespace ixo {

namespace {

const QString kCollectionSource = QStringLiteral("IxoInstrSetups.Collection");

bool isKeyIndex(const QVariant &index) {
    return variantTypeOf(index) == VariantType::String;
}

} // namespace

Collection::Collection(QObject *parent)
    : QObject(parent) {}

QString Collection::foldKey(const QString &key) {
    return CaseFold::fold(key);
}

void Collection::Add(const QVariant &item, const QVariant &key) {
    Entry entry{item, QString(), false};
    if (key.isValid()) {
        if (!isKeyIndex(key))
            throw AutomationError::standard(ErrorNumber::TypeMismatch, kCollectionSource);
        entry.key = key.toString();
        entry.hasKey = true;
        const QString folded = foldKey(entry.key);
        if (m_byKey.contains(folded))
            throw AutomationError::standard(ErrorNumber::DuplicateKey, kCollectionSource);
        m_byKey.insert(folded, item);
    }
    m_entries.push_back(std::move(entry));
    emit changed();
}

QVariant Collection::Item(const QVariant &index) const {
    if (isKeyIndex(index)) {
        const auto found = m_byKey.constFind(foldKey(index.toString()));
        if (found == m_byKey.cend())
            throw AutomationError::standard(ErrorNumber::InvalidProcedureCall, kCollectionSource);
        return *found;
    }
    return m_entries[positionOf(index)].item;
}

void Collection::Remove(const QVariant &index) {
    const std::size_t position =
        isKeyIndex(index) ? positionOfKey(index.toString()) : positionOf(index);
    const Entry &entry = m_entries[position];
    if (entry.hasKey)
        m_byKey.remove(foldKey(entry.key));
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    emit changed();
}

bool Collection::containsKey(const QString &key) const {
    return m_byKey.contains(foldKey(key));
}

std::size_t Collection::positionOf(const QVariant &index) const {
    const std::int32_t number = VariantConvert::toLong(index);
    if (number < 1 || static_cast<std::size_t>(number) > m_entries.size())
        throw AutomationError::standard(ErrorNumber::SubscriptOutOfRange, kCollectionSource);
    return static_cast<std::size_t>(number - 1);
}

std::size_t Collection::positionOfKey(const QString &key) const {
    const QString folded = foldKey(key);
    if (!m_byKey.contains(folded))
        throw AutomationError::standard(ErrorNumber::InvalidProcedureCall, kCollectionSource);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].hasKey && foldKey(m_entries[i].key) == folded)
            return i;
    }
    throw AutomationError::standard(ErrorNumber::InvalidProcedureCall, kCollectionSource);
}

} // namespace ixo
