#include "SimulatorCommandLine.h"

#include "instruments/simulator/SimulatedDevice.h"

#include <QCoreApplication>
#include <QMap>
#include <QRegularExpression>
#include <cstdio>

namespace {

const QString kInstrument = QStringLiteral("instrument");

QString familyList() {
    QString list;
    for (const QString &name : ixo::SimulatedDevice::familyNames())
        list += QStringLiteral("  %1  %2\n")
                    .arg(name, -22)
                    .arg(ixo::SimulatedDevice::familyDescription(name));
    return list;
}

std::optional<ixo::Ieee488Block::Form> blockForm(const QString &name, bool &ok) {
    using Form = ixo::Ieee488Block::Form;
    static const QMap<QString, Form> forms{{QStringLiteral("definite"), Form::Definite},
                                           {QStringLiteral("indefinite"), Form::Indefinite},
                                           {QStringLiteral("parenthesized"), Form::Parenthesized}};
    ok = name.isEmpty() || forms.contains(name);
    return name.isEmpty() || !ok ? std::nullopt : std::optional(forms.value(name));
}

} // namespace

SimulatorCommandLine::SimulatorCommandLine() {
    m_parser.setApplicationDescription(
        QStringLiteral(
            "Serves a simulated instrument, one device shared by every connection, as a raw SCPI "
            "socket (TCPIP::host::port::SOCKET) as a VXI-11 instrument (TCPIP::host::INSTR, "
            "device inst0, with its own portmapper answering GETPORT over TCP and UDP) and over "
            "HiSLIP (TCPIP::host::hislip0,port::INSTR). The default family, ixo, is a signal "
            "generator knowing *IDN?, *RST, *CLS, *OPC?, *LRN?, :SYST:SET? and "
            ":SYST:SET <block>, :SYST:ERR?, and a query and a command for each setting; the other "
            "families speak the setup commands of real instruments.\n\n"
            "With --instrument ROLE=FAMILY, repeated, it serves a test bench instead: each "
            "instrument its own device, with a serial number of its own, and its own raw socket "
            "and HiSLIP ports; all share one VXI-11 portmapper as devices inst0, inst1 ... in the "
            "order given (TCPIP::host::instN::INSTR). Every port, mDNS's too, is then 0 unless "
            "given; a given --socket-port or --hislip-port is the first instrument's, and each "
            "next instrument takes the next port. After the others it prints a line per "
            "instrument, which reads\n"
            "  ixo-instrument-sim: ROLE  SOCKET-RESOURCE  VXI-11-RESOURCE  HISLIP-RESOURCE  "
            "*IDN?\n\n"
            "Faults for testing clients, on every transport: send the simulator-only command\n"
            "  %1 <name>\n"
            "where name is one of\n"
            "  DROP      the next capture's answer stops halfway and the connection closes\n"
            "  STALL     the next capture's answer never comes (within ten minutes)\n"
            "  GARBAGE   the next answer is replaced by bytes that are no answer\n"
            "  XID       VXI-11: the next read reply carries another call's RPC xid\n"
            "  OVERSIZE  VXI-11: the next read reply announces a 2 GiB record; HiSLIP: the next\n"
            "            answer announces 2^63 bytes\n"
            "  FATAL     HiSLIP: the next answer is a FatalError message\n"
            "Protocol faults wait for a connection of their protocol; a fault stays with the "
            "instrument it was sent to.\n\n"
            "Families (--family):\n%2")
            .arg(ixo::SimulatedDevice::kFaultCommand, familyList()));
    m_parser.addHelpOption();
    // No --version option of our own: --version sets the instrument's firmware version.
    m_parser.addOption({QStringList{QStringLiteral("socket-port"), QStringLiteral("port")},
                        QStringLiteral("Raw SCPI socket on <port>; 0 picks a free one (default "
                                       "5025). --port is the same option."),
                        QStringLiteral("port"), QStringLiteral("5025")});
    m_parser.addOption({QStringLiteral("vxi11-port"),
                        QStringLiteral("VXI-11 portmapper on <port>, TCP and UDP; 0 picks a free "
                                       "one (default 111, which VISA clients expect and which "
                                       "needs root). The core channel takes any free port."),
                        QStringLiteral("port"), QStringLiteral("111")});
    m_parser.addOption({QStringLiteral("hislip-port"),
                        QStringLiteral("HiSLIP on <port>; 0 picks a free one (default 4880)."),
                        QStringLiteral("port"), QStringLiteral("4880")});
    m_parser.addOption({QStringLiteral("mdns-port"),
                        QStringLiteral("Answer multicast DNS (DNS-SD: _scpi-raw, _vxi-11, _lxi and "
                                       "_hislip over TCP) on <port>, shared with other responders; "
                                       "0 picks a free one for unicast questions (default 5353). "
                                       "Failing to listen is only a warning."),
                        QStringLiteral("port"), QStringLiteral("5353")});
    m_parser.addOption({QStringLiteral("no-mdns"), QStringLiteral("Do not answer multicast DNS.")});
    m_parser.addOption(
        {QStringLiteral("bind"),
         QStringLiteral("Listen on <address> (default 127.0.0.1, this machine only)."),
         QStringLiteral("address"), QStringLiteral("127.0.0.1")});
    m_parser.addOption({QStringLiteral("family"),
                        QStringLiteral("Simulate an instrument of <name> (default %1; listed "
                                       "above).")
                            .arg(ixo::SimulatedDevice::kDefaultFamily),
                        QStringLiteral("name"), ixo::SimulatedDevice::kDefaultFamily});
    m_parser.addOption({QStringLiteral("model"),
                        QStringLiteral("The model *IDN? reports (default the family's, %1 for "
                                       "ixo).")
                            .arg(ixo::SimulatedDevice::kDefaultModel),
                        QStringLiteral("model")});
    m_parser.addOption({QStringLiteral("version"),
                        QStringLiteral("The firmware version *IDN? reports (default the "
                                       "family's, %1 for ixo).")
                            .arg(ixo::SimulatedDevice::kDefaultVersion),
                        QStringLiteral("version")});
    m_parser.addOption({QStringLiteral("apply-delay-ms"),
                        QStringLiteral("Applying a setup keeps the instrument busy for <ms> "
                                       "(default 2000 for rigol-ds1000z, 0 for the others)."),
                        QStringLiteral("ms")});
    m_parser.addOption({QStringLiteral("block-form"),
                        QStringLiteral("Answer every block as definite (#n...), indefinite "
                                       "(#0... to the newline) or parenthesized (#(n)...) instead "
                                       "of the family's own form."),
                        QStringLiteral("form")});
    m_parser.addOption({kInstrument,
                        QStringLiteral("Serve an instrument of <family> as <role> on a bench "
                                       "(repeatable; see above). --block-form and "
                                       "--apply-delay-ms apply to each."),
                        QStringLiteral("role=family")});
}

void SimulatorCommandLine::process(const QCoreApplication &app) {
    m_parser.process(app);
    if (!m_parser.positionalArguments().isEmpty())
        m_parser.showHelp(2);
}

bool SimulatorCommandLine::asBench() const {
    return m_parser.isSet(kInstrument);
}

bool SimulatorCommandLine::answersMdns() const {
    return !m_parser.isSet(QStringLiteral("no-mdns"));
}

std::optional<ixo::SimulatedBench::Ports> SimulatorCommandLine::ports() const {
    // Each is checked, so that every wrong one is named.
    const std::optional<quint16> socket = port(QStringLiteral("socket-port"));
    const std::optional<quint16> portmapper = port(QStringLiteral("vxi11-port"));
    const std::optional<quint16> hislip = port(QStringLiteral("hislip-port"));
    if (!socket || !portmapper || !hislip)
        return std::nullopt;
    return ixo::SimulatedBench::Ports{*socket, *hislip, *portmapper};
}

std::optional<quint16> SimulatorCommandLine::mdnsPort() const {
    return port(QStringLiteral("mdns-port"));
}

QHostAddress SimulatorCommandLine::address() const {
    const QHostAddress address(m_parser.value(QStringLiteral("bind")));
    if (address.isNull())
        std::fprintf(stderr, "ixo-instrument-sim: --bind takes an IP address, not %s\n",
                     qPrintable(m_parser.value(QStringLiteral("bind"))));
    return address;
}

bool SimulatorCommandLine::addInstruments(ixo::SimulatedBench &bench) const {
    if (!(asBench() ? addRoles(bench) : addSingle(bench)))
        return false;
    for (const ixo::SimulatedBench::Instrument &instrument : bench.instruments()) {
        if (!configure(*instrument.device))
            return false;
    }
    return true;
}

QString SimulatorCommandLine::optionOf(ixo::SimulatedBench::Server server) {
    switch (server) {
    case ixo::SimulatedBench::Server::Socket:
        return QStringLiteral("socket-port");
    case ixo::SimulatedBench::Server::Vxi11:
        return QStringLiteral("vxi11-port");
    case ixo::SimulatedBench::Server::Hislip:
        return QStringLiteral("hislip-port");
    }
    return {};
}

// A port option's value, or nothing when it is not a port number. A bench takes free ports
// unless told otherwise, so that benches run side by side.
std::optional<quint16> SimulatorCommandLine::port(const QString &name) const {
    if (asBench() && !m_parser.isSet(name))
        return 0;
    bool ok = false;
    const uint port = m_parser.value(name).toUInt(&ok);
    if (!ok || port > 65535) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: --%s takes a port number from 0 to 65535, not %s\n",
                     qPrintable(name), qPrintable(m_parser.value(name)));
        return std::nullopt;
    }
    return static_cast<quint16>(port);
}

// Sets a device up as the options say; false, having said why, when they cannot.
bool SimulatorCommandLine::configure(ixo::SimulatedDevice &device) const {
    bool ok = true;
    device.setBlockForm(blockForm(m_parser.value(QStringLiteral("block-form")), ok));
    if (!ok) {
        std::fprintf(stderr,
                     "ixo-instrument-sim: --block-form takes definite, indefinite or "
                     "parenthesized, not %s\n",
                     qPrintable(m_parser.value(QStringLiteral("block-form"))));
        return false;
    }
    if (m_parser.isSet(QStringLiteral("apply-delay-ms"))) {
        const int delay = m_parser.value(QStringLiteral("apply-delay-ms")).toInt(&ok);
        if (!ok || delay < 0) {
            std::fprintf(stderr,
                         "ixo-instrument-sim: --apply-delay-ms takes milliseconds, not %s\n",
                         qPrintable(m_parser.value(QStringLiteral("apply-delay-ms"))));
            return false;
        }
        device.setApplyDelay(delay);
    }
    return true;
}

// The one instrument --family, --model and --version describe; false, having said why, when
// they describe none.
bool SimulatorCommandLine::addSingle(ixo::SimulatedBench &bench) const {
    const QString family = m_parser.value(QStringLiteral("family"));
    if (!bench.add({}, family, m_parser.value(QStringLiteral("model")),
                   m_parser.value(QStringLiteral("version")))) {
        std::fprintf(stderr, "ixo-instrument-sim: --family takes one of %s, not %s\n",
                     qPrintable(ixo::SimulatedDevice::familyNames().join(QLatin1String(", "))),
                     qPrintable(family));
        return false;
    }
    return true;
}

// The instruments each --instrument ROLE=FAMILY names; false, having said why, when one names
// none. Roles are single words, so that the lines printed split on spaces.
bool SimulatorCommandLine::addRoles(ixo::SimulatedBench &bench) const {
    for (const char *single : {"family", "model", "version"}) {
        if (m_parser.isSet(QLatin1String(single))) {
            std::fprintf(stderr,
                         "ixo-instrument-sim: --%s describes the instrument served without "
                         "--instrument, which names each instrument's family\n",
                         single);
            return false;
        }
    }
    static const QRegularExpression word(QStringLiteral("^[\\w.-]+$"));
    QStringList roles;
    for (const QString &value : m_parser.values(kInstrument)) {
        const QString role = value.section(u'=', 0, 0);
        const QString family = value.section(u'=', 1);
        if (!value.contains(u'=') || !word.match(role).hasMatch()) {
            std::fprintf(stderr,
                         "ixo-instrument-sim: --instrument takes ROLE=FAMILY, the role of "
                         "letters, digits, '_', '.' and '-', not %s\n",
                         qPrintable(value));
            return false;
        }
        if (roles.contains(role)) {
            std::fprintf(stderr, "ixo-instrument-sim: --instrument gives the role %s twice\n",
                         qPrintable(role));
            return false;
        }
        roles.append(role);
        if (!bench.add(role, family)) {
            std::fprintf(stderr,
                         "ixo-instrument-sim: --instrument %s takes a family of %s, not %s\n",
                         qPrintable(role),
                         qPrintable(ixo::SimulatedDevice::familyNames().join(QLatin1String(", "))),
                         qPrintable(family));
            return false;
        }
    }
    return true;
}
