#include "control/MarkerImages.h"

#include <QBitmap>
#include <QColor>
#include <QPixmap>

// The library is static: its resources are registered on first use.
static void initMarkerResources() {
    Q_INIT_RESOURCE(markers);
}

namespace ixo {

namespace {

constexpr int kImageSize = 16;

// The bitmap's background in this colour is see-through.
QPixmap masked(const QString &path) {
    QPixmap pixmap(path);
    pixmap.setMask(pixmap.createMaskFromColor(QColor(192, 192, 192)));
    return pixmap.scaled(kImageSize, kImageSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QIcon otherInstrument() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/ixoinstrsetups/markers/OtherInstrument16.xpm"));
    icon.addFile(QStringLiteral(":/ixoinstrsetups/markers/OtherInstrument32.xpm"));
    return icon;
}

} // namespace

QList<QIcon> MarkerImages::imageList() {
    initMarkerResources();
    return {QIcon(masked(QStringLiteral(":/ixoinstrsetups/markers/CurrentScopeSetup.xpm"))),
            otherInstrument()};
}

} // namespace ixo
