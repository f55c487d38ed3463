#pragma once

#include "support/SetupInterface.h"

#include <QObject>

namespace ixo {

// Passes every call on to the connected instrument and tells when its setup may have changed,
// so that views of its settings can be read again.
class ObservedInstrument : public QObject, public SetupInterface {
    Q_OBJECT

public:
    explicit ObservedInstrument(SetupInterfaceRef instrument, QObject *parent = nullptr);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

signals:
    void setupChanged();

private:
    SetupInterfaceRef m_instrument;
};

} // namespace ixo
