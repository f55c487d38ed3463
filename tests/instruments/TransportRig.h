#pragma once

#include "FakeSysfs.h"
#include "PseudoTerminal.h"
#include "ServedDevice.h"
#include "automation/AutomationError.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/servers/HislipServer.h"
#include "instruments/servers/SimulatorServer.h"
#include "instruments/servers/Vxi11Server.h"
#include "instruments/simulator/SimulatedDevice.h"
#include "instruments/transports/HislipTransport.h"
#include "instruments/transports/SerialSettings.h"
#include "instruments/transports/SerialTransport.h"
#include "instruments/transports/TcpSocketTransport.h"
#include "instruments/transports/UsbtmcTransport.h"
#include "instruments/transports/Vxi11Transport.h"

#include <QTcpServer>
#include <functional>
#include <memory>
#include <vector>

namespace ixo::test {

// A simulated device served over one transport, and the client talking to it.
class TransportRig {
public:
    virtual ~TransportRig() = default;
    virtual SimulatedDevice &device() = 0;
    virtual ScpiInstrument &client() = 0;
};

// One transport: a rig on it, and the same transport aimed where nobody answers.
struct TransportKind {
    QString name;
    std::function<std::unique_ptr<TransportRig>()> make;
    std::function<std::unique_ptr<InstrumentTransport>()> unserved;
};

namespace rigs {

inline const QString kLoopback = QStringLiteral("127.0.0.1");

[[noreturn]] inline void refuse(const QString &why) {
    throw AutomationError(1, QStringLiteral("IxoInstrSetups.TransportRig"), why);
}

// A loopback port that was free a moment ago: nothing listens on it.
inline quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline std::unique_ptr<InstrumentTransport> socket(quint16 port) {
    return std::make_unique<TcpSocketTransport>(
        kLoopback, port, QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(port));
}

inline std::unique_ptr<InstrumentTransport> vxi11(quint16 portmapperPort) {
    return std::make_unique<Vxi11Transport>(kLoopback, QStringLiteral("inst0"),
                                            QStringLiteral("TCPIP::127.0.0.1::INSTR"),
                                            portmapperPort);
}

inline std::unique_ptr<InstrumentTransport> hislip(quint16 port) {
    return std::make_unique<HislipTransport>(
        kLoopback, port, QStringLiteral("hislip0"),
        QStringLiteral("TCPIP::127.0.0.1::hislip0,%1::INSTR").arg(port));
}

inline std::unique_ptr<InstrumentTransport> serial(const QString &device) {
    return std::make_unique<SerialTransport>(
        device, SerialSettings::parse(QStringLiteral("115200")),
        QStringLiteral("ASRL") + device + QStringLiteral("::INSTR"));
}

inline std::unique_ptr<InstrumentTransport> usbtmc(const QString &sysfs, const QString &dev) {
    return std::make_unique<UsbtmcTransport>(0x1ab1, 0x04ce, QStringLiteral("RIG1"), -1,
                                             QStringLiteral("USB0::0x1AB1::0x04CE::RIG1::INSTR"),
                                             sysfs, dev);
}

using MakeTransport = std::function<std::unique_ptr<InstrumentTransport>(quint16 port)>;

template <typename Server> class ServedRig : public TransportRig {
public:
    explicit ServedRig(const MakeTransport &makeTransport) {
        if (m_served.port() == 0)
            refuse(QStringLiteral("The simulator could not listen"));
        m_client = std::make_unique<ScpiInstrument>(makeTransport(m_served.port()));
    }
    SimulatedDevice &device() override { return *m_served.device; }
    ScpiInstrument &client() override { return *m_client; }

private:
    ServedDevice<Server> m_served;
    std::unique_ptr<ScpiInstrument> m_client;
};

template <typename Server> TransportKind served(const QString &name, MakeTransport make) {
    return {name, [make] { return std::make_unique<ServedRig<Server>>(make); },
            [make] { return make(closedPort()); }};
}

// The device answers on a pseudo-terminal, the client opens its other end as a serial port or
// as a USBTMC node found in a sysfs tree of its own.
class LineRig : public TransportRig {
public:
    explicit LineRig(bool usb)
        : m_responder(m_line, m_device) {
        if (!m_line.isValid())
            refuse(QStringLiteral("No pseudo-terminal"));
        if (usb) {
            m_tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "RIG1", "00", m_line.path());
            m_client = std::make_unique<ScpiInstrument>(usbtmc(m_tree.sysfs(), m_tree.dev()));
        } else {
            m_client = std::make_unique<ScpiInstrument>(serial(m_line.path()));
        }
    }
    SimulatedDevice &device() override { return *m_device; }
    ScpiInstrument &client() override { return *m_client; }

private:
    PseudoTerminal m_line;
    std::shared_ptr<SimulatedDevice> m_device = std::make_shared<SimulatedDevice>();
    PseudoTerminalResponder m_responder;
    FakeSysfs m_tree;
    std::unique_ptr<ScpiInstrument> m_client;
};

template <bool usb> TransportKind line(const QString &name, const QString &missing) {
    return {name, [] { return std::make_unique<LineRig>(usb); },
            [missing] { return usb ? usbtmc(missing, missing) : serial(missing); }};
}

} // namespace rigs

inline const std::vector<TransportKind> &transports() {
    static const std::vector<TransportKind> kinds{
        rigs::served<SimulatorServer>(QStringLiteral("socket"), rigs::socket),
        rigs::served<Vxi11Server>(QStringLiteral("vxi11"), rigs::vxi11),
        rigs::served<HislipServer>(QStringLiteral("hislip"), rigs::hislip),
        rigs::line<false>(QStringLiteral("serial"), QStringLiteral("/dev/ttyIXO-not-there")),
        rigs::line<true>(QStringLiteral("usbtmc"), QStringLiteral("/nonexistent/ixo-sysfs")),
    };
    return kinds;
}

} // namespace ixo::test
