#pragma once

#include "automation/Export.h"

#include <QIcon>
#include <QList>

namespace ixo {

// The two row markers of the state list, as the image list holds them: 1 the current setup,
// 2 a state from another instrument.
class IXO_EXPORT MarkerImages {
public:
    static constexpr int kCurrentSetup = 1;
    static constexpr int kOtherInstrument = 2;

    static QList<QIcon> imageList();
};

} // namespace ixo
