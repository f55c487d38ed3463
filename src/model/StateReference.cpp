#include "model/StateReference.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "model/ItemStateInfo.h"
#include "model/StateImport.h"
#include "support/StateFile.h"

#include <QFileInfo>

namespace ixo {

QVariant StateReference::dataOf(const QString &reference, const DocumentLookup &inDocument,
                                const QString &source) {
    if (QFileInfo(reference).isFile()) {
        const auto state = std::dynamic_pointer_cast<ItemStateInfo>(
            StateFile().LoadObject(StateImport::kItemProgId, reference));
        if (!state)
            throw AutomationError(ErrorNumber::TypeMismatch, source,
                                  QStringLiteral("%1 holds no saved state").arg(reference));
        return state->data();
    }
    // The name may hold a role and a colon of its own: the document is the first file.
    for (qsizetype colon = reference.indexOf(QLatin1Char(':')); colon > 0;
         colon = reference.indexOf(QLatin1Char(':'), colon + 1)) {
        if (QFileInfo(reference.left(colon)).isFile())
            return inDocument(reference.left(colon), reference.mid(colon + 1));
    }
    throw AutomationError(
        ErrorNumber::FileNotFound, source,
        QStringLiteral("%1 is neither a state file nor <document>:<name>").arg(reference));
}

} // namespace ixo
