#include "instruments/transports/SerialTransport.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <limits>

namespace ixo {

namespace {

QSerialPort::Parity parityOf(SerialSettings::Parity parity) {
    switch (parity) {
    case SerialSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case SerialSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case SerialSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case SerialSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case SerialSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits stopBitsOf(SerialSettings::StopBits stopBits) {
    switch (stopBits) {
    case SerialSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    case SerialSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case SerialSettings::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

QSerialPort::FlowControl flowOf(SerialSettings::FlowControl flow) {
    switch (flow) {
    case SerialSettings::FlowControl::RtsCts:
        return QSerialPort::HardwareControl;
    case SerialSettings::FlowControl::XonXoff:
        return QSerialPort::SoftwareControl;
    case SerialSettings::FlowControl::None:
        break;
    }
    return QSerialPort::NoFlowControl;
}

} // namespace

SerialTransport::SerialTransport(QString device, SerialSettings settings, QString resourceName)
    : InstrumentTransport(std::move(resourceName), QStringLiteral("IxoInstrSetups.SerialTransport"))
    , m_device(std::move(device))
    , m_settings(settings) {}

void SerialTransport::failWithReason(std::int32_t number, const QString &what) {
    fail(number, what + QStringLiteral(": ") + (m_port ? m_port->errorString() : QString()));
}

void SerialTransport::configure() {
    const auto dataBits = static_cast<QSerialPort::DataBits>(m_settings.dataBits);
    if (!m_port->setBaudRate(m_settings.baudRate) || !m_port->setDataBits(dataBits) ||
        !m_port->setParity(parityOf(m_settings.parity)) ||
        !m_port->setStopBits(stopBitsOf(m_settings.stopBits)) ||
        !m_port->setFlowControl(flowOf(m_settings.flowControl)))
        failWithReason(
            VisaStatus::Io,
            QStringLiteral("refused the settings %1 on %2").arg(m_settings.toString(), m_device));
}

void SerialTransport::open(QDeadlineTimer) {
    close();
    // Created here so that the port belongs to the thread that talks to the instrument.
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(m_device);
    if (!m_port->open(QIODevice::ReadWrite)) {
        switch (m_port->error()) {
        case QSerialPort::PermissionError:
            failWithReason(
                VisaStatus::NoPermission,
                QStringLiteral("cannot open %1 (it may be in use, or this user needs to be in "
                               "the group that owns it, usually dialout: "
                               "\"sudo usermod -aG dialout $USER\", then log in again)")
                    .arg(m_device));
        case QSerialPort::DeviceNotFoundError:
            failWithReason(VisaStatus::ResourceNotFound,
                           QStringLiteral("has no port %1").arg(m_device));
        default:
            failWithReason(VisaStatus::Io, QStringLiteral("cannot open %1").arg(m_device));
        }
    }
    configure();
    m_port->clear();
}

void SerialTransport::close() {
    if (!m_port)
        return;
    m_port->close();
    m_port.reset();
}

bool SerialTransport::isOpen() const {
    return m_port && m_port->isOpen();
}

// The late answer is all that has arrived since it was given up; an instrument that answers a
// query still later drops that answer itself once the next message comes.
void SerialTransport::discardLateAnswer() {
    if (!std::exchange(m_answerGivenUp, false))
        return;
    m_port->waitForReadyRead(0);
    m_port->readAll();
    m_port->clearError();
}

void SerialTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    if (!isOpen())
        failWithReason(VisaStatus::ConnectionLost, QStringLiteral("is not open"));
    // Each exchange starts with a write.
    startExchange();
    discardLateAnswer();
    QByteArray line = bytes;
    if (m_settings.terminator != SerialSettings::Terminator::Lf && line.endsWith('\n')) {
        line.chop(1);
        line.append(m_settings.terminatorBytes());
    }
    if (m_port->write(line) != line.size())
        failWithReason(VisaStatus::Io, QStringLiteral("refused the data"));
    while (m_port->bytesToWrite() > 0) {
        checkCancelled();
        if (m_port->waitForBytesWritten(sliceOf(deadline)))
            continue;
        if (m_port->error() != QSerialPort::TimeoutError)
            failWithReason(VisaStatus::ConnectionLost, QStringLiteral("stopped taking data"));
        m_port->clearError();
        if (deadline.hasExpired())
            failWithReason(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
    }
}

QByteArray SerialTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!isOpen())
        failWithReason(VisaStatus::ConnectionLost, QStringLiteral("is not open"));
    // A call with no time left only collects what has arrived; it gives nothing up.
    const bool poll = deadline.hasExpired();
    while (m_port->bytesAvailable() == 0) {
        checkCancelled();
        if (m_port->waitForReadyRead(sliceOf(deadline)) || m_port->bytesAvailable() > 0)
            break;
        if (m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
            failWithReason(VisaStatus::ConnectionLost, QStringLiteral("stopped answering"));
        m_port->clearError();
        if (deadline.hasExpired()) {
            m_answerGivenUp = !poll;
            return QByteArray();
        }
    }
    QByteArray bytes = m_port->read(std::min<qint64>(maxBytes, m_port->bytesAvailable()));
    if (m_settings.terminator == SerialSettings::Terminator::Cr)
        bytes.replace('\r', '\n');
    return bytes;
}

} // namespace ixo
