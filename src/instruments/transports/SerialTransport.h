#pragma once

#include "instruments/transports/InstrumentTransport.h"
#include "instruments/transports/SerialSettings.h"

#include <QSerialPort>
#include <atomic>

namespace ixo {

// An instrument on a serial port (ASRL resources), used with blocking waits as the socket is.
// The client ends every message with LF; the port's terminator takes its place on the line, and
// a CR terminator coming back is handed up as LF.
class SerialTransport : public InstrumentTransport {
public:
    SerialTransport(QString device, SerialSettings settings, QString resourceName);
    ~SerialTransport() override;

    QString resourceName() const override { return m_resourceName; }
    const SerialSettings &settings() const { return m_settings; }
    // Takes effect at the next open.
    void setSettings(const SerialSettings &settings) { m_settings = settings; }

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;
    // A port cannot be woken from another thread, so waits are short slices that look for
    // this between them; the waiting call then fails as a lost connection.
    void cancel() override { m_cancelled = true; }

private:
    [[noreturn]] void fail(std::int32_t number, const QString &what);
    void configure();
    void checkCancelled();

    QString m_device;
    SerialSettings m_settings;
    QString m_resourceName;
    std::unique_ptr<QSerialPort> m_port;
    std::atomic<bool> m_cancelled = false;
};

} // namespace ixo
