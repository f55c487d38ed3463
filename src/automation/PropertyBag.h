#pragma once

#include "automation/BagValue.h"
#include "automation/CborOutput.h"
#include "automation/Export.h"

#include <QByteArray>
#include <QHash>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <utility>
#include <vector>

namespace ixo {

class CborInput;

// A named-value store that keeps the order of its properties and each value's exact type.
// Names are compared without regard to letter case. Its Contents is a CBOR document.
class IXO_EXPORT PropertyBag {
public:
    static constexpr int kFormatVersion = 1;

    PropertyBag() = default;

    void WriteProperty(const QString &name, const QVariant &value);
    // A value equal to its default is not stored; reading with the same default gives it back.
    void WriteProperty(const QString &name, const QVariant &value, const QVariant &defaultValue);
    // Without a default an absent name is an error (327).
    QVariant ReadProperty(const QString &name) const;
    QVariant ReadProperty(const QString &name, const QVariant &defaultValue) const;

    QByteArray Contents() const;
    // Takes a byte-array Variant as made by Contents(); anything else is refused and leaves
    // the bag unchanged.
    void setContents(const QVariant &contents);

    bool contains(const QString &name) const;
    QStringList names() const;
    int count() const { return static_cast<int>(m_properties.size()); }

    // The same document as Contents, written to a device as it is made.
    void writeContents(QIODevice &device) const;

    void writeDocument(CborOutput &writer) const;
    // About the size of the document, a little over.
    qsizetype sizeHint() const;
    // Reads one document; byte strings stay slices of the input.
    static PropertyBag readDocument(CborInput &input, int depth);

    static bool sameValue(const QVariant &a, const QVariant &b);

private:
    void store(const QString &name, BagValue value);
    static void readProperties(CborInput &input, int depth, PropertyBag &bag);
    void remove(const QString &name);
    std::optional<std::size_t> find(const QString &name) const;
    void rebuildIndex();

    // Bags with fewer properties are searched without the index.
    static constexpr std::size_t kIndexedFrom = 12;
    static QString foldName(const QString &name);

    std::vector<std::pair<QString, BagValue>> m_properties;
    QHash<QString, std::size_t> m_index;
};

} // namespace ixo

Q_DECLARE_METATYPE(ixo::PropertyBag *)
