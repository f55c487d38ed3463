#pragma once

#include "automation/Export.h"
#include "instruments/transports/InstrumentTransport.h"

#include <QList>

namespace ixo {

// A USBTMC instrument through Linux's usbtmc driver. The device node is the /dev/usbtmcN whose
// sysfs device (<sysfs>/class/usbmisc/usbtmcN/device/..) has the vendor, product and serial
// asked for. The driver bounds each read and write by its own timeout, set from the deadline
// before every call; a node that is not the driver's (a test's pseudo-terminal) is polled. An
// answer given up is cleared in the device (the driver's INITIATE_CLEAR); on a polled node,
// whatever arrives before the next exchange is thrown away.
class IXO_EXPORT UsbtmcTransport : public InstrumentTransport {
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

    void open(QDeadlineTimer deadline) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    void write(const QByteArray &bytes, QDeadlineTimer deadline) override;
    // Polled waits look for a cancel between short slices; a wait inside the driver runs to
    // its timeout.
    QByteArray read(qsizetype maxBytes, QDeadlineTimer deadline) override;

    // The node open() found, empty before.
    QString node() const { return m_node; }

private:
    Device find() const;
    void openNode(const QString &node);
    void discardStaleInput();
    void giveUpAnswer();
    // False when the deadline passes first.
    bool prepare(short events, QDeadlineTimer deadline);

    quint16 m_vendor;
    quint16 m_product;
    QString m_serial;
    int m_interfaceNumber;
    QString m_sysfsRoot;
    QString m_devRoot;
    QString m_node;
    int m_fd = -1;
    bool m_driverTimeouts = false;
    // On a polled node: an answer was given up and may still come.
    bool m_answerGivenUp = false;
    QByteArray m_pending;
};

} // namespace ixo
