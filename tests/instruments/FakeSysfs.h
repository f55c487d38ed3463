#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace ixo::test {

// A sysfs tree laid out as the kernel does: /sys/class/usbmisc/usbtmcN links to the node's
// directory under the USB interface, whose "device" link leads back to the interface; the USB
// device above it has the ids and the serial number. Device nodes link to nodeTarget.
class FakeSysfs {
public:
    QString sysfs() const { return m_dir.filePath(QStringLiteral("sys")); }
    QString dev() const { return m_dir.filePath(QStringLiteral("dev")); }

    void add(const QString &node, const char *vendor, const char *product, const char *serial,
             const char *interfaceNumber, const QString &nodeTarget) {
        const QString usbDevice =
            QStringLiteral("%1/devices/pci0000:00/usb1/1-%2").arg(sysfs()).arg(++m_count);
        const QString usbInterface = QStringLiteral("%1/1-%2:1.0").arg(usbDevice).arg(m_count);
        const QString nodeDir = usbInterface + QStringLiteral("/usbmisc/") + node;
        QDir().mkpath(nodeDir);
        QDir().mkpath(sysfs() + QStringLiteral("/class/usbmisc"));
        QDir().mkpath(dev());
        write(usbDevice + QStringLiteral("/idVendor"), vendor);
        write(usbDevice + QStringLiteral("/idProduct"), product);
        if (serial)
            write(usbDevice + QStringLiteral("/serial"), serial);
        write(usbInterface + QStringLiteral("/bInterfaceNumber"), interfaceNumber);
        QFile::link(QStringLiteral("../.."), nodeDir + QStringLiteral("/device"));
        QFile::link(nodeDir, sysfs() + QStringLiteral("/class/usbmisc/") + node);
        if (!nodeTarget.isEmpty())
            QFile::link(nodeTarget, dev() + QLatin1Char('/') + node);
    }

private:
    static void write(const QString &path, const char *text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(QByteArray(text) + '\n');
    }

    QTemporaryDir m_dir;
    int m_count = 0;
};

} // namespace ixo::test
