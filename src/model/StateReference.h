#pragma once

#include "automation/Export.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace ixo {

// A saved state named by a user outside the control: a state file, or "<document>:<name>" for
// a state in a host document. The last colon splits, so a document path may hold colons.
class IXO_EXPORT StateReference {
public:
    // The data of the state of that name in the document.
    using DocumentLookup = std::function<QVariant(const QString &document, const QString &name)>;

    // The state's data; errors are raised with source as their source.
    static QVariant dataOf(const QString &reference, const DocumentLookup &inDocument,
                           const QString &source);
};

} // namespace ixo
