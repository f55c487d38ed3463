#pragma once

#include "instruments/servers/SimulatedBench.h"

#include <QCommandLineParser>
#include <QHostAddress>
#include <optional>

class QCoreApplication;

namespace ixo {
class SimulatedDevice;
}

// ixo-instrument-sim's options, its help, and the instruments and ports they describe. What
// finds an option wrong says why on standard error.
class SimulatorCommandLine {
public:
    SimulatorCommandLine();

    // Exits for --help, and with 2 for arguments other than options.
    void process(const QCoreApplication &app);

    // --instrument given: a bench of roles rather than the one instrument --family describes.
    bool asBench() const;
    bool answersMdns() const;
    // nullopt when an option is not a port number.
    std::optional<ixo::SimulatedBench::Ports> ports() const;
    std::optional<quint16> mdnsPort() const;
    // Null when --bind is not an address.
    QHostAddress address() const;
    // Adds the instruments described, set up as the options say; false when they describe none.
    bool addInstruments(ixo::SimulatedBench &bench) const;

    // The option naming a server's port, without its dashes.
    static QString optionOf(ixo::SimulatedBench::Server server);

private:
    std::optional<quint16> port(const QString &name) const;
    bool addSingle(ixo::SimulatedBench &bench) const;
    bool addRoles(ixo::SimulatedBench &bench) const;
    bool configure(ixo::SimulatedDevice &device) const;

    QCommandLineParser m_parser;
};
