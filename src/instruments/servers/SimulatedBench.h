#pragma once

#include "automation/Export.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace ixo {

class HislipServer;
class MdnsResponder;
class SimulatedDevice;
class SimulatorServer;
class Vxi11Server;

// Simulated instruments served at once, as on a test bench: each its own device under a role,
// with a raw socket and a HiSLIP server of its own; all behind one VXI-11 portmapper as inst0,
// inst1 ... in the order added. A bench of one is what a single simulator serves.
class IXO_EXPORT SimulatedBench {
public:
    enum class Server { Socket, Vxi11, Hislip };

    // The first instrument's ports; each next one takes the next port. 0 picks free ones.
    struct Ports {
        quint16 socket = 0;
        quint16 hislip = 0;
        quint16 portmapper = 0;
    };

    // Why listen() failed: the server, the port asked for and the reason.
    struct Failure {
        Server server = Server::Socket;
        quint16 port = 0;
        QString reason;
    };

    struct Instrument {
        QString role;
        std::shared_ptr<SimulatedDevice> device;
        std::unique_ptr<SimulatorServer> socket;
        std::unique_ptr<HislipServer> hislip;
        // What a VXI-11 client links to.
        QString vxi11Device;
    };

    SimulatedBench();
    ~SimulatedBench();
    SimulatedBench(const SimulatedBench &) = delete;
    SimulatedBench &operator=(const SimulatedBench &) = delete;

    // Adds an instrument of a family (see SimulatedDevice::familyNames()) before listen();
    // nullptr for another name. Its serial number is the family's advanced by its place on the
    // bench, so that two of a family tell themselves apart.
    std::shared_ptr<SimulatedDevice> add(const QString &role, const QString &family,
                                         const QString &model = {}, const QString &version = {});

    std::optional<Failure> listen(const QHostAddress &address, const Ports &ports);

    const std::vector<Instrument> &instruments() const { return m_instruments; }
    quint16 portmapperPort() const;
    quint16 vxi11CorePort() const;

    // After listen(), a DNS-SD responder for every instrument's services, not yet listening.
    // Only the first instrument has _vxi-11 and _lxi services: a browser finding them links to
    // inst0.
    std::unique_ptr<MdnsResponder> mdnsResponder() const;

private:
    std::optional<Failure> listen(Instrument &instrument, qsizetype index,
                                  const QHostAddress &address, const Ports &ports);

    std::vector<Instrument> m_instruments;
    std::unique_ptr<Vxi11Server> m_vxi11;
};

} // namespace ixo
