#include "instruments/transports/UsbtmcTransport.h"

#include "automation/AutomationError.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <linux/usb/tmc.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ixo {

const QString UsbtmcTransport::kSysfsRoot = QStringLiteral("/sys");
const QString UsbtmcTransport::kDevRoot = QStringLiteral("/dev");

namespace {

const QString kUsbtmcTransportSource = QStringLiteral("IxoInstrSetups.UsbtmcTransport");
// The driver refuses shorter timeouts.
constexpr qint64 kMinDriverTimeoutMs = 100;
constexpr qsizetype kMaxReadChunk = qsizetype(1) << 20;
const QString kUdevHint = QStringLiteral(
    "a udev rule such as SUBSYSTEM==\"usbmisc\", KERNEL==\"usbtmc*\", GROUP=\"plugdev\", "
    "MODE=\"0660\" in /etc/udev/rules.d/99-usbtmc.rules gives the group plugdev access (add "
    "yourself to it, then run \"udevadm control --reload && udevadm trigger\" and plug the "
    "instrument in again)");

QString attribute(const QString &dir, const char *name) {
    QFile file(dir + QLatin1Char('/') + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.read(256)).trimmed();
}

QString errnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString UsbtmcTransport::Device::resourceName() const {
    ResourceString resource;
    resource.interface = ResourceString::Interface::Usb;
    resource.usbVendor = vendor;
    resource.usbProduct = product;
    resource.usbSerial = serial;
    resource.usbInterface = interfaceNumber;
    return resource.toString();
}

UsbtmcTransport::UsbtmcTransport(quint16 vendor, quint16 product, QString serial,
                                 int interfaceNumber, QString resourceName, QString sysfsRoot,
                                 QString devRoot)
    : InstrumentTransport(std::move(resourceName), kUsbtmcTransportSource)
    , m_vendor(vendor)
    , m_product(product)
    , m_serial(std::move(serial))
    , m_interfaceNumber(interfaceNumber)
    , m_sysfsRoot(std::move(sysfsRoot))
    , m_devRoot(std::move(devRoot)) {}

UsbtmcTransport::~UsbtmcTransport() {
    close();
}

QList<UsbtmcTransport::Device> UsbtmcTransport::devices(const QString &sysfsRoot,
                                                        const QString &devRoot) {
    static const QRegularExpression nodeName(QStringLiteral("^usbtmc\\d+$"));
    QList<Device> found;
    // usbmisc on current kernels, usb on old ones.
    for (const char *classDir : {"/class/usbmisc", "/class/usb"}) {
        const QDir dir(sysfsRoot + QLatin1String(classDir));
        const QStringList names =
            dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
        for (const QString &name : names) {
            if (!nodeName.match(name).hasMatch())
                continue;
            // "device" links to the USB interface; its parent is the USB device.
            const QString interfaceDir =
                QFileInfo(dir.filePath(name) + QStringLiteral("/device")).canonicalFilePath();
            if (interfaceDir.isEmpty())
                continue;
            const QString deviceDir = QFileInfo(interfaceDir).absolutePath();
            bool vendorOk = false;
            bool productOk = false;
            Device device;
            device.node = devRoot + QLatin1Char('/') + name;
            device.vendor =
                static_cast<quint16>(attribute(deviceDir, "idVendor").toUInt(&vendorOk, 16));
            device.product =
                static_cast<quint16>(attribute(deviceDir, "idProduct").toUInt(&productOk, 16));
            device.serial = attribute(deviceDir, "serial");
            bool interfaceOk = false;
            const int number = attribute(interfaceDir, "bInterfaceNumber").toInt(&interfaceOk, 16);
            device.interfaceNumber = interfaceOk ? number : -1;
            if (vendorOk && productOk)
                found.append(device);
        }
        if (!found.isEmpty())
            break;
    }
    return found;
}

UsbtmcTransport::Device UsbtmcTransport::find() const {
    const QList<Device> all = devices(m_sysfsRoot, m_devRoot);
    for (const Device &device : all)
        if (device.vendor == m_vendor && device.product == m_product &&
            device.serial.compare(m_serial, Qt::CaseInsensitive) == 0 &&
            (m_interfaceNumber < 0 || device.interfaceNumber == m_interfaceNumber))
            return device;
    QStringList present;
    for (const Device &device : all)
        present.append(QStringLiteral("%1 (%2)").arg(device.resourceName(), device.node));
    const QString known =
        present.isEmpty()
            ? QStringLiteral("no USBTMC instrument is connected (is it switched on, and is "
                             "the usbtmc kernel module loaded?)")
            : QStringLiteral("the USBTMC instruments connected are ") +
                  present.join(QLatin1String(", "));
    throw AutomationError(VisaStatus::ResourceNotFound, kUsbtmcTransportSource,
                          QStringLiteral("%1 is not connected: %2").arg(resourceName(), known));
}

void UsbtmcTransport::openNode(const QString &node) {
    const QByteArray path = QFile::encodeName(node);
    m_fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            fail(VisaStatus::NoPermission,
                 QStringLiteral("cannot be opened: %1 is not readable and writable for this "
                                "user; %2")
                     .arg(node, kUdevHint));
        fail(error == ENOENT ? VisaStatus::ResourceNotFound : VisaStatus::Io,
             QStringLiteral("cannot be opened: %1: %2").arg(node, errnoText(error)));
    }
    // Only the driver understands its timeout; anything else is polled without blocking.
    const __u32 probe = 1000;
    m_driverTimeouts = ::ioctl(m_fd, USBTMC_IOCTL_SET_TIMEOUT, &probe) == 0;
    if (!m_driverTimeouts) {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        discardStaleInput();
    }
}

// A late answer to an exchange given up before would pass for the answer to the next query.
void UsbtmcTransport::discardStaleInput() {
    char buffer[4096];
    for (int reads = 0; reads < 256; ++reads) {
        if (::read(m_fd, buffer, sizeof buffer) <= 0 && errno != EINTR)
            return;
    }
}

void UsbtmcTransport::open(QDeadlineTimer) {
    close();
    m_node = find().node;
    openNode(m_node);
}

void UsbtmcTransport::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_pending.clear();
}

// The device must not send the answer later as the next one's: the driver's clear aborts it in
// the device; a polled node throws away what came of it when the next exchange starts.
void UsbtmcTransport::giveUpAnswer() {
    if (!m_driverTimeouts) {
        m_answerGivenUp = true;
        return;
    }
    if (::ioctl(m_fd, USBTMC_IOCTL_CLEAR) != 0)
        fail(VisaStatus::Io, QStringLiteral("did not answer in time and could not be cleared: ") +
                                 errnoText(errno));
}

bool UsbtmcTransport::prepare(short events, QDeadlineTimer deadline) {
    checkCancelled();
    const qint64 remaining =
        deadline.isForever() ? std::numeric_limits<int>::max() : deadline.remainingTime();
    if (m_driverTimeouts) {
        // The instrument sends nothing unasked, so there is nothing to wait for without time.
        if (remaining <= 0)
            return false;
        const auto timeout = static_cast<__u32>(
            std::clamp<qint64>(remaining, kMinDriverTimeoutMs, std::numeric_limits<int>::max()));
        if (::ioctl(m_fd, USBTMC_IOCTL_SET_TIMEOUT, &timeout) != 0)
            fail(VisaStatus::Io, QStringLiteral("refused its timeout: ") + errnoText(errno));
        return true;
    }
    pollfd entry{m_fd, events, 0};
    for (;;) {
        const qint64 left =
            deadline.isForever() ? kCancelCheckMs : std::max<qint64>(0, deadline.remainingTime());
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min(left, kCancelCheckMs)));
        const int error = errno;
        if (ready > 0)
            return true;
        if (ready == 0 && deadline.hasExpired())
            return false;
        checkCancelled();
        if (ready < 0 && error != EINTR)
            fail(VisaStatus::Io, QStringLiteral("cannot be polled: ") + errnoText(error));
    }
}

void UsbtmcTransport::write(const QByteArray &bytes, QDeadlineTimer deadline) {
    if (m_fd < 0)
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    // Each exchange starts with a write.
    startExchange();
    if (std::exchange(m_answerGivenUp, false))
        discardStaleInput();
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (!prepare(POLLOUT, deadline))
            fail(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
        const ssize_t written =
            ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written > 0) {
            done += written;
            continue;
        }
        const int error = errno;
        if (written < 0 && (error == EINTR || error == EAGAIN))
            continue;
        if (error == ETIMEDOUT)
            fail(VisaStatus::Timeout, QStringLiteral("did not take the data in time"));
        fail(VisaStatus::ConnectionLost,
             QStringLiteral("stopped taking data: ") + errnoText(error));
    }
}

QByteArray UsbtmcTransport::read(qsizetype maxBytes, QDeadlineTimer deadline) {
    if (m_fd < 0)
        fail(VisaStatus::ConnectionLost, QStringLiteral("is not connected"));
    // A call with no time left only collects what has arrived; it gives nothing up.
    const bool poll = deadline.hasExpired();
    if (m_pending.isEmpty()) {
        if (!prepare(POLLIN, deadline)) {
            if (!poll)
                giveUpAnswer();
            return QByteArray();
        }
        // One read is one message from the driver: a large buffer takes it whole.
        QByteArray buffer(kMaxReadChunk, Qt::Uninitialized);
        ssize_t got;
        do
            got = ::read(m_fd, buffer.data(), static_cast<size_t>(buffer.size()));
        while (got < 0 && errno == EINTR);
        if (got < 0 && (errno == EAGAIN || errno == ETIMEDOUT)) {
            if (!poll)
                giveUpAnswer();
            return QByteArray();
        }
        if (got < 0)
            fail(VisaStatus::ConnectionLost,
                 QStringLiteral("stopped answering: ") + errnoText(errno));
        if (got == 0) {
            if (m_driverTimeouts) {
                if (!poll)
                    giveUpAnswer();
                return QByteArray();
            }
            fail(VisaStatus::ConnectionLost, QStringLiteral("closed the connection"));
        }
        buffer.truncate(got);
        if (got < buffer.capacity() / 2)
            buffer.squeeze();
        m_pending = std::move(buffer);
    }
    const qsizetype count = std::min(std::max<qsizetype>(1, maxBytes), m_pending.size());
    if (count == m_pending.size())
        return std::exchange(m_pending, QByteArray());
    QByteArray answer = m_pending.first(count);
    m_pending.remove(0, count);
    return answer;
}

} // namespace ixo
