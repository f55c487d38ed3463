#include "instruments/transports/SerialTransport.h"

#include "automation/AutomationError.h"
#include "instruments/VisaStatus.h"

#include <limits>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.SerialTransport");

// How often a wait looks whether it was cancelled.
constexpr qint64 kCancelCheckMs = 50;

int sliceOf(QDeadlineTimer deadline) {
    const qint64 remaining = deadline.remainingTime();
    return static_cast<int>(remaining < 0 ? kCancelCheckMs : std::min(remaining, kCancelCheckMs));
}

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
    : m_device(std::move(device))
    , m_settings(settings)
    , m_resourceName(std::move(resourceName)) {}

SerialTransport::~SerialTransport() {
    close();
}

void SerialTransport::fail(std::int32_t number, const QString &what) {
    const QString reason = m_port ? m_port->errorString() : QString();
    close();
    throw AutomationError(number, kSource,
                          QStringLiteral("%1 %2: %3").arg(m_resourceName, what, reason));
}

void SerialTransport::configure() {
    const auto dataBits = static_cast<QSerialPort::DataBits>(m_settings.dataBits);
    if (!m_port->setBaudRate(m_settings.baudRate) || !m_port->setDataBits(dataBits) ||
        !m_port->setParity(parityOf(m_settings.parity)) ||
        !m_port->setStopBits(stopBitsOf(m_settings.stopBits)) ||
        !m_port->setFlowControl(flowOf(m_settings.flowControl)))
        fail(VisaStatus::Io,
             QStringLiteral("refused the settings %1 on %2").arg(m_settings.toString(), m_device));
}

void SerialTransport::open(QDeadlineTimer) {
    close();
    m_cancelled = false;
    // Created here so that the port belongs to the thread that talks to the instrument.
    m_port = std::make_unique<QSerialPort>();
    m_port->setPortName(m_device);
    if (!m_port->open(QIODevice::ReadWrite)) {
        switch (m_port->error()) {
        case QSerialPort::PermissionError:
            fail(VisaStatus::NoPermission,
                 QStringLiteral("cannot open %1 (it may be in use, or this user needs to be in "
                                "the group that owns it, usually dialout: "
                                "\"sudo usermod -aG dialout $USER\", then log in again)")
                     .arg(m_device));
        case QSerialPort::DeviceNotFoundError:
            fail(VisaStatus::ResourceNotFound, QStringLiteral("has no port %1").arg(m_device));
        default:
            fail(VisaStatus::Io, QStringLiteral("cannot open %1").arg(m_device));
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

void SerialTransport::checkCancelled() {
    if (m_cancelled.exchange(false))
        fail(VisaStatus::ConnectionLost, QStringLiteral("was cancelled"));
}

bool SerialTransport::isOpen() const {
    return m_port && m_port->isOpen();
}

void SerialTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not open"));
    // Each exchange starts with a write; a cancel meant for an earlier one is void.
    m_cancelled = false;
    QByteArray line = bytes;
    if (m_settings.terminator != SerialSettings::Terminator::Lf && line.endsWith('\n')) {
        line.chop(1);
        line.append(m_settings.terminatorBytes());
    }
    if (m_port->write(line) != line.size())
        fail(VisaStatus::Io, QStringLiteral("refused the data"));
    while (m_port->bytesToWrite() > 0) {
        checkCancelled();
        if (m_port->waitForBytesWritten(sliceOf(deadline)))
            continue;
        if (m_port->error() != QSerialPort::TimeoutError)
            fail(VisaStatus::ConnectionLost, QStringLiteral("stopped taking data"));
        m_port->clearError();
        if (deadline.hasExpired())
            fail(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
    }
}

QByteArray SerialTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (!isOpen())
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not open"));
    while (m_port->bytesAvailable() == 0) {
        checkCancelled();
        if (m_port->waitForReadyRead(sliceOf(deadline)) || m_port->bytesAvailable() > 0)
            break;
        if (m_port->error() != QSerialPort::TimeoutError && m_port->error() != QSerialPort::NoError)
            fail(VisaStatus::ConnectionLost, QStringLiteral("stopped answering"));
        m_port->clearError();
        if (deadline.hasExpired())
            return QByteArray();
    }
    QByteArray bytes = m_port->read(std::min<qint64>(maxBytes, m_port->bytesAvailable()));
    if (m_settings.terminator == SerialSettings::Terminator::Cr)
        bytes.replace('\r', '\n');
    return bytes;
}

} // namespace ixo
