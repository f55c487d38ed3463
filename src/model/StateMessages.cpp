#include "model/StateMessages.h"

#include "locale/IxoResource.h"

namespace ixo {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString StateMessages::restoreRefused(IxoResource &texts, const QString &model,
                                      const QString &version) {
    return texts.LoadResString(231) + model + texts.LoadResString(224) + version + kCrLf +
           texts.LoadResString(232);
}

QString StateMessages::importRefused(IxoResource &texts, const QString &model,
                                     const QString &version) {
    return texts.LoadResString(223) + model + texts.LoadResString(224) + version + kCrLf +
           texts.LoadResString(225);
}

} // namespace ixo
