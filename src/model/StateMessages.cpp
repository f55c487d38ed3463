#include "model/StateMessages.h"

#include "locale/IxoResource.h"
#include "locale/TextId.h"

namespace ixo {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString StateMessages::restoreRefused(IxoResource &texts, const QString &model,
                                      const QString &version) {
    return texts.LoadResString(TextId::kRestoreOtherInstrument) + model +
           texts.LoadResString(TextId::kVersionSeparator) + version + kCrLf +
           texts.LoadResString(TextId::kNotConnectedInstrument);
}

QString StateMessages::importRefused(IxoResource &texts, const QString &model,
                                     const QString &version) {
    return texts.LoadResString(TextId::kImportOtherInstrument) + model +
           texts.LoadResString(TextId::kVersionSeparator) + version + kCrLf +
           texts.LoadResString(TextId::kCannotImport);
}

} // namespace ixo
