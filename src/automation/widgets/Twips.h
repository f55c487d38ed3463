#pragma once

#include "automation/Export.h"

#include <QRect>

class QWidget;

namespace ixo {

// Layouts are given in twips, 1440 to the logical inch: 15 to a pixel at 96 dpi.
class IXO_EXPORT Twips {
public:
    static constexpr double kPerInch = 1440.0;

    static int toPixelsX(double twips, const QWidget &widget);
    static int toPixelsY(double twips, const QWidget &widget);
    static double fromPixelsX(int pixels, const QWidget &widget);
    // Places a widget at a design rectangle given as left, top, width, height in twips.
    static void place(QWidget &widget, int left, int top, int width, int height);
};

} // namespace ixo
