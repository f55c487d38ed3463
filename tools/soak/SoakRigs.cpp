#include "SoakRigs.h"

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

namespace ixo::soak {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.Soak");
const QString kLoopback = QStringLiteral("127.0.0.1");

template <typename Server> class ServedRig : public Rig {
public:
    using MakeTransport = std::function<std::unique_ptr<InstrumentTransport>(quint16 port)>;

    explicit ServedRig(const MakeTransport &makeTransport) {
        if (m_served.port() == 0)
            throw AutomationError(1, kSource, QStringLiteral("The simulator could not listen"));
        m_client = std::make_unique<ScpiInstrument>(makeTransport(m_served.port()));
    }
    SimulatedDevice &device() override { return *m_served.device; }
    ScpiInstrument &client() override { return *m_client; }

private:
    test::ServedDevice<Server> m_served;
    std::unique_ptr<ScpiInstrument> m_client;
};

template <typename Server>
std::function<std::unique_ptr<Rig>()>
servedBy(typename ServedRig<Server>::MakeTransport makeTransport) {
    return [makeTransport] { return std::make_unique<ServedRig<Server>>(makeTransport); };
}

// The device answers on a pseudo-terminal, the client opens its other end as a serial port or
// as a USBTMC node found in a sysfs tree of its own.
class LineRig : public Rig {
public:
    explicit LineRig(bool usb)
        : m_responder(m_line, m_device) {
        if (!m_line.isValid())
            throw AutomationError(1, kSource, QStringLiteral("No pseudo-terminal"));
        if (usb) {
            m_tree.add(QStringLiteral("usbtmc0"), "1ab1", "04ce", "SOAK1", "00", m_line.path());
            m_client = std::make_unique<ScpiInstrument>(std::make_unique<UsbtmcTransport>(
                0x1ab1, 0x04ce, QStringLiteral("SOAK1"), -1,
                QStringLiteral("USB0::0x1AB1::0x04CE::SOAK1::INSTR"), m_tree.sysfs(),
                m_tree.dev()));
        } else {
            m_client = std::make_unique<ScpiInstrument>(std::make_unique<SerialTransport>(
                m_line.path(), SerialSettings::parse(QStringLiteral("115200")),
                QStringLiteral("ASRL") + m_line.path() + QStringLiteral("::INSTR")));
        }
    }
    SimulatedDevice &device() override { return *m_device; }
    ScpiInstrument &client() override { return *m_client; }

private:
    test::PseudoTerminal m_line;
    std::shared_ptr<SimulatedDevice> m_device = std::make_shared<SimulatedDevice>();
    test::PseudoTerminalResponder m_responder;
    test::FakeSysfs m_tree;
    std::unique_ptr<ScpiInstrument> m_client;
};

std::unique_ptr<InstrumentTransport> socketTransport(quint16 port) {
    return std::make_unique<TcpSocketTransport>(
        kLoopback, port, QStringLiteral("TCPIP::127.0.0.1::%1::SOCKET").arg(port));
}

std::unique_ptr<InstrumentTransport> vxi11Transport(quint16 portmapperPort) {
    return std::make_unique<Vxi11Transport>(kLoopback, QStringLiteral("inst0"),
                                            QStringLiteral("TCPIP::127.0.0.1::INSTR"),
                                            portmapperPort);
}

std::unique_ptr<InstrumentTransport> hislipTransport(quint16 port) {
    return std::make_unique<HislipTransport>(
        kLoopback, port, QStringLiteral("hislip0"),
        QStringLiteral("TCPIP::127.0.0.1::hislip0,%1::INSTR").arg(port));
}

} // namespace

const std::vector<TransportEntry> &transports() {
    static const std::vector<TransportEntry> entries{
        {QStringLiteral("socket"), servedBy<SimulatorServer>(socketTransport)},
        {QStringLiteral("vxi11"), servedBy<Vxi11Server>(vxi11Transport)},
        {QStringLiteral("hislip"), servedBy<HislipServer>(hislipTransport)},
        {QStringLiteral("serial"), [] { return std::make_unique<LineRig>(false); }},
        {QStringLiteral("usbtmc"), [] { return std::make_unique<LineRig>(true); }},
    };
    return entries;
}

} // namespace ixo::soak
