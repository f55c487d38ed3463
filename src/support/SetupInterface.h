#pragma once

#include "automation/Export.h"
#include "automation/ObjectRef.h"

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <memory>

namespace ixo {

// The host's link to the connected instrument. The operations keep the order of the
// interface the host implements.
class IXO_EXPORT SetupInterface {
public:
    virtual ~SetupInterface() = default;

    virtual QString Model() = 0;
    virtual QVariant CaptureState() = 0;
    virtual void RestoreState(const QVariant &state) = 0;
    virtual QString Version() = 0;
    // A new object of the given ProgID filled from a sibling application's setup file, or
    // Nothing.
    virtual ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) = 0;

protected:
    SetupInterface() = default;
    SetupInterface(const SetupInterface &) = default;
    SetupInterface &operator=(const SetupInterface &) = default;
};

using SetupInterfaceRef = std::shared_ptr<SetupInterface>;

} // namespace ixo

Q_DECLARE_METATYPE(ixo::SetupInterfaceRef)
