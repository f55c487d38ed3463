#pragma once

#include "automation/Export.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/simulator/SimulatedDevice.h"

#include <QByteArray>
#include <QMap>
#include <QString>

namespace ixo {

// The embedded default instrument: the SCPI client talking in-process to the simulated signal
// generator, so it answers, fails and times out as the same device does over a socket. Captures
// the learn string; byte setups are restored with :SYST:SET.
class IXO_EXPORT SimulatedInstrument : public ScpiInstrument {
public:
    static const QString kDefaultModel;
    static const QString kDefaultVersion;

    explicit SimulatedInstrument(QString model = kDefaultModel, QString version = kDefaultVersion);
    explicit SimulatedInstrument(std::shared_ptr<SimulatedDevice> device);

    SimulatedDevice &device() const { return *m_device; }

    // Applies SCPI setting commands such as ":FREQ 1E6" separated by newlines or ";", all or
    // none; raises the instrument's errors.
    void apply(const QByteArray &commands) { m_device->apply(commands); }
    QString setting(const QString &header) const { return m_device->setting(header); }
    QMap<QString, QString> settings() const { return m_device->settings(); }

private:
    std::shared_ptr<SimulatedDevice> m_device;
};

} // namespace ixo
