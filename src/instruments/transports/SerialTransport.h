#pragma once

#include "automation/Export.h"
#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SerialSettings.h"

#include <QSerialPort>

namespace ixo {

// An instrument on a serial port (ASRL resources). The client ends every message with LF; the
// port's terminator takes its place on the line, and a CR terminator coming back is handed up
// as LF. A line has no device clear and outlives the port's closing: after an answer was given
// up, whatever arrives before the next exchange is thrown away, and the port's waits look for a
// cancel between short slices, since nothing can wake them from another thread.
class IXO_EXPORT SerialTransport : public InstrumentTransport {
public:
    SerialTransport(QString device, SerialSettings settings, QString resourceName);

    const SerialSettings &settings() const { return m_settings; }
    // Takes effect at the next open.
    void setSettings(const SerialSettings &settings) { m_settings = settings; }

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

private:
    void configure();
    [[noreturn]] void failWithReason(std::int32_t number, const QString &what);
    void discardLateAnswer();

    QString m_device;
    SerialSettings m_settings;
    std::unique_ptr<QSerialPort> m_port;
    // An answer was given up: it may still come, and must not pass for the next one.
    bool m_answerGivenUp = false;
};

} // namespace ixo
