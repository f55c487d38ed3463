#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>
#include <variant>
#include <vector>

namespace ixo {

class PropertyBag;

// A value as a property bag keeps it: already checked to be storable and in the exact form a
// read gives back. Bytes parsed from a document stay a slice of that document until read, and
// an object is kept as its ProgID and the bag it wrote, so later changes to it are not saved.
class IXO_EXPORT BagValue {
public:
    struct Slice {
        QByteArray source;
        qsizetype offset = 0;
        qsizetype size = 0;
    };
    struct Object {
        QString progId;
        std::shared_ptr<const PropertyBag> bag;
        // The object made while its document was checked, handed to the first reader.
        std::shared_ptr<ObjectRef> loaded;
    };
    using Elements = std::vector<BagValue>;

    BagValue() = default;
    explicit BagValue(QVariant plain)
        : m_value(std::move(plain)) {}
    explicit BagValue(Slice slice)
        : m_value(std::move(slice)) {}
    explicit BagValue(Elements elements)
        : m_value(std::move(elements)) {}
    explicit BagValue(Object object)
        : m_value(std::move(object)) {}

    // Refuses (error 13) what cannot be stored; nothing is converted.
    static BagValue fromVariant(const QVariant &value);
    QVariant toVariant() const;

    const QVariant *plain() const { return std::get_if<QVariant>(&m_value); }
    const Slice *slice() const { return std::get_if<Slice>(&m_value); }
    const Elements *elements() const { return std::get_if<Elements>(&m_value); }
    const Object *object() const { return std::get_if<Object>(&m_value); }

    // Creates an object of the class and has it read the bag; the bag itself is not changed.
    static ObjectRef load(const QString &progId, const PropertyBag &bag);

    // Deepest nesting of arrays and objects, against stack exhaustion on hostile input.
    static constexpr int kMaxDepth = 64;

private:
    static BagValue fromVariantAt(const QVariant &value, int depth);
    static BagValue fromObject(const ObjectRef &object, int depth);

    std::variant<QVariant, Slice, Elements, Object> m_value;
};

} // namespace ixo
