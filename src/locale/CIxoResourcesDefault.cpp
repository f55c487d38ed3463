#include "locale/CIxoResourcesDefault.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantConvert.h"

#include <QFile>

// The library is static: its resources are registered on first use.
static void initBuiltinResources() {
    Q_INIT_RESOURCE(builtin_resources);
}

namespace ixo {

namespace {

const QString kCIxoResourcesDefaultSource = QStringLiteral("IxoInstrSetups");
const QString kResourceRoot = QStringLiteral(":/ixoinstrsetups/");

QString pictureFolder(std::int32_t format) {
    std::int16_t kind = 0;
    try {
        kind = VariantConvert::toInteger(QVariant(format));
    } catch (const AutomationError &) {
        throw AutomationError::standard(ErrorNumber::Fail, kCIxoResourcesDefaultSource);
    }
    switch (kind) {
    case 0:
        return QStringLiteral("bitmap");
    case 1:
        return QStringLiteral("icon");
    case 2:
        return QStringLiteral("cursor");
    default:
        throw AutomationError::standard(ErrorNumber::Fail, kCIxoResourcesDefaultSource);
    }
}

} // namespace

CIxoResourcesDefault::CIxoResourcesDefault(QObject *parent)
    : QObject(parent) {
    static const bool registered = (initBuiltinResources(), true);
    Q_UNUSED(registered);
}

const std::map<std::int32_t, QString> &CIxoResourcesDefault::catalogue() {
    // Several texts begin or end with a space because messages are built by concatenation.
    static const std::map<std::int32_t, QString> texts{
        {200, QStringLiteral("Name:")},
        {201, QStringLiteral("Description:")},
        {202, QStringLiteral("Instrument State")},
        {203, QStringLiteral("Capture New...")},
        {204, QStringLiteral("Restore")},
        {205, QStringLiteral("Edit Name...")},
        {206, QStringLiteral("Remove")},
        {207, QStringLiteral("Optional")},
        {208, QStringLiteral("Import...")},
        {209, QStringLiteral("Export...")},
        {210, QStringLiteral("Capture New State")},
        {211, QStringLiteral("Edit State Name ")},
        {212, QStringLiteral("Import previously stored state file")},
        {213, QStringLiteral("Tessaview State Files (*.sta)|*.sta")},
        {214, QStringLiteral("Export ")},
        {215, QStringLiteral(" To")},
        {216, QStringLiteral("State ")},
        {217, QStringLiteral("OK")},
        {218, QStringLiteral("Cancel")},
        {219, QStringLiteral("Failed to Capture State from the Instrument")},
        {220, QStringLiteral("Error Details: ")},
        {221, QStringLiteral("Error")},
        {222, QStringLiteral("Failed to Export state to a file, Error = ")},
        {223, QStringLiteral("The imported state is for the ")},
        {224, QStringLiteral(", version ")},
        {225, QStringLiteral("Can not import state file.")},
        {226, QStringLiteral("Imported state ")},
        {227, QStringLiteral(" is already in the list.")},
        {228, QStringLiteral("You must rename it.")},
        {229, QStringLiteral(" does not appear to be a standard state file.")},
        {230, QStringLiteral("Failed to reset instrument to saved state")},
        {231, QStringLiteral("The selected state is for the instrument model ")},
        {232, QStringLiteral(
                  "which is not the currently connected instrument. The state was not restored.")},
        {233, QStringLiteral(" is already a Captured State.")},
        {235, QStringLiteral("Capture current instrument setting")},
        {236, QStringLiteral("Restore highlighted state to instrument")},
        {237, QStringLiteral("Edit the name and description of the highlighted state")},
        {238, QStringLiteral("Remove the highlighted state from the list")},
        {240, QStringLiteral("Retrieve an instrument state from a file")},
        {241, QStringLiteral("Save the highlighted state to a file")},
        {244, QStringLiteral("Save name and description with instrument state")},
        {245, QStringLiteral("Cancel the save operation")},
    };
    return texts;
}

QString CIxoResourcesDefault::LoadResString(std::int32_t IDString) {
    const auto &texts = catalogue();
    if (const auto found = texts.find(IDString); found != texts.end())
        return found->second;
    return QStringLiteral("Failed to load string for resource id=") + QString::number(IDString);
}

QImage CIxoResourcesDefault::LoadResPicture(std::int32_t IDGraphic, std::int32_t Format) {
    const QImage picture(kResourceRoot + pictureFolder(Format) + QLatin1Char('/') +
                         QString::number(IDGraphic));
    if (picture.isNull())
        throw AutomationError::standard(ErrorNumber::Fail, kCIxoResourcesDefaultSource);
    return picture;
}

QVariant CIxoResourcesDefault::LoadResData(std::int32_t IDData, std::int32_t Format) {
    QFile resource(kResourceRoot + QStringLiteral("data/%1/%2").arg(Format).arg(IDData));
    if (!resource.open(QIODevice::ReadOnly))
        throw AutomationError::standard(ErrorNumber::Fail, kCIxoResourcesDefaultSource);
    return QVariant(resource.readAll());
}

QString CIxoResourcesDefault::Mask(std::int32_t) {
    throw AutomationError::standard(ErrorNumber::NotImplemented, kCIxoResourcesDefaultSource);
}

} // namespace ixo
