#include "automation/widgets/Twips.h"

#include <QWidget>
#include <cmath>

namespace ixo {

int Twips::toPixelsX(double twips, const QWidget &widget) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiX() / kPerInch));
}

int Twips::toPixelsY(double twips, const QWidget &widget) {
    return static_cast<int>(std::lround(twips * widget.logicalDpiY() / kPerInch));
}

double Twips::fromPixelsX(int pixels, const QWidget &widget) {
    return pixels * kPerInch / widget.logicalDpiX();
}

void Twips::place(QWidget &widget, int left, int top, int width, int height) {
    widget.setGeometry(toPixelsX(left, widget), toPixelsY(top, widget), toPixelsX(width, widget),
                       toPixelsY(height, widget));
}

} // namespace ixo
