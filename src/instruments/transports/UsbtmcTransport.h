#pragma once

#include "instruments/transports/InstrumentTransport.h"

#include <QList>
#include <atomic>

namespace ixo {

// A USBTMC instrument through Linux's usbtmc driver. The device node is the /dev/usbtmcN whose
// sysfs device (<sysfs>/class/usbmisc/usbtmcN/device/..) has the vendor, product and serial
// asked for. The driver bounds each read and write by its own timeout, set from the deadline
// before every call; a node that is not the driver's (a test's pseudo-terminal) is polled.
class UsbtmcTransport : public InstrumentTransport {
public:
    static const QString kSysfsRoot;
    static const QString kDevRoot;

    struct Device {
        QString node;
        quint16 vendor = 0;
        quint16 product = 0;
        QString serial;
        int interfaceNumber = -1;

        QString resourceName() const;
    };

    // interfaceNumber -1 takes any interface of the device.
    UsbtmcTransport(quint16 vendor, quint16 product, QString serial, int interfaceNumber,
                    QString resourceName, QString sysfsRoot = kSysfsRoot,
                    QString devRoot = kDevRoot);
    ~UsbtmcTransport() override;

    // The USBTMC devices the driver has bound, by node name.
    static QList<Device> devices(const QString &sysfsRoot = kSysfsRoot,
                                 const QString &devRoot = kDevRoot);

    QString resourceName() const override { return m_resourceName; }
    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;
    // Polled waits look for it in short slices; a wait inside the driver runs to its timeout.
    void cancel() override { m_cancelled = true; }

    // The node open() found, empty before.
    QString node() const { return m_node; }

private:
    [[noreturn]] void fail(std::int32_t number, const QString &what);
    Device find() const;
    void openNode(const QString &node);
    void discardStaleInput();
    // False when the deadline passes first.
    bool prepare(short events, QDeadlineTimer deadline);
    void checkCancelled();

    quint16 m_vendor;
    quint16 m_product;
    QString m_serial;
    int m_interfaceNumber;
    QString m_resourceName;
    QString m_sysfsRoot;
    QString m_devRoot;
    QString m_node;
    int m_fd = -1;
    bool m_driverTimeouts = false;
    std::atomic<bool> m_cancelled = false;
    QByteArray m_pending;
};

} // namespace ixo
