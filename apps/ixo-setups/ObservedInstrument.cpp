#include "ObservedInstrument.h"

namespace ixo {

ObservedInstrument::ObservedInstrument(SetupInterfaceRef instrument, QObject *parent)
    : QObject(parent)
    , m_instrument(std::move(instrument)) {}

QString ObservedInstrument::Model() {
    return m_instrument->Model();
}

QVariant ObservedInstrument::CaptureState() {
    return m_instrument->CaptureState();
}

void ObservedInstrument::RestoreState(const QVariant &state) {
    m_instrument->RestoreState(state);
    emit setupChanged();
}

QString ObservedInstrument::Version() {
    return m_instrument->Version();
}

ObjectRef ObservedInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return m_instrument->ImportLegacyFile(fileName, progId);
}

} // namespace ixo
