#include "library/StateData.h"

#include "automation/BagValue.h"
#include "automation/CborInput.h"
#include "automation/CborOutput.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantCodec.h"
#include "library/LibraryErrors.h"

namespace ixo {

const QString StateData::kBytes = QStringLiteral("bytes");
const QString StateData::kText = QStringLiteral("text");
const QString StateData::kEncoded = QStringLiteral("encoded");

StateData::StateData(QString kind, QByteArray bytes)
    : m_kind(std::move(kind))
    , m_bytes(std::move(bytes)) {}

StateData StateData::fromVariant(const QVariant &data) {
    if (data.typeId() == QMetaType::QByteArray)
        return {kBytes, data.toByteArray()};
    if (data.typeId() == QMetaType::QString)
        return {kText, data.toString().toUtf8()};
    QByteArray encoded;
    {
        CborOutput writer(encoded);
        VariantCodec::write(writer, BagValue::fromVariant(data));
    }
    return {kEncoded, encoded};
}

QVariant StateData::toVariant(const QString &kind, const QByteArray &bytes, const QString &state) {
    if (kind == kBytes)
        return bytes;
    if (kind == kText)
        return QString::fromUtf8(bytes);
    if (kind != kEncoded)
        LibraryErrors::fail(ErrorNumber::InvalidFileFormat,
                            QStringLiteral("the data of %1 is of a kind this version does not "
                                           "know (%2)")
                                .arg(state, kind));
    CborInput input(bytes);
    const BagValue value = VariantCodec::read(input, 0);
    input.finish();
    return value.toVariant();
}

} // namespace ixo
