#include "DiscoverCommand.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <variant>

namespace ixo {

namespace {

constexpr int kDone = 0;
constexpr int kUsageError = 2;

const char *const kHelp =
    "Searches for instruments and lists each one's VISA resource, its answer to *IDN? (or why\n"
    "there was none) and how it was found: VXI-11 portmapper broadcast (vxi11), DNS-SD over\n"
    "multicast DNS for _lxi, _vxi-11, _hislip and _scpi-raw over TCP (mdns), or USBTMC in sysfs\n"
    "(usbtmc). An instrument found several ways is listed once, HiSLIP before VXI-11 before a\n"
    "raw socket. While it waits, a progress line is shown if standard error is a terminal.\n\n"
    "  --timeout MS              how long to listen for answers (default 2000)\n"
    "  --json                    print a JSON array of {resource, identity, mechanism, problem}\n"
    "  --no-vxi11, --no-mdns, --no-usb  leave a mechanism out\n"
    "  --no-idn                  do not ask *IDN?\n"
    "  --broadcast ADDR          send the portmapper call to ADDR instead of every interface's\n"
    "                            broadcast address and 127.0.0.1 (repeatable)\n"
    "  --portmapper-port N       the portmapper's UDP port (default 111)\n"
    "  --mdns-target ADDR:PORT   also ask the mDNS responder at ADDR:PORT by unicast (repeatable)\n"
    "  --no-multicast            send no mDNS query to the multicast group\n"
    "  --multicast-interface IF  send the multicast query on IF only (e.g. lo)\n"
    "  --mdns-port N             the multicast DNS port (default 5353)\n"
    "  --sysfs DIR, --dev DIR    where to look for USBTMC devices (default /sys and /dev)\n";

std::optional<quint16> port(const QString &text) {
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value > 65535)
        return std::nullopt;
    return quint16(value);
}

std::optional<InstrumentDiscovery::Endpoint> endpoint(const QString &text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    const QHostAddress address(host);
    const std::optional<quint16> number = port(text.mid(colon + 1));
    if (address.isNull() || !number || *number == 0)
        return std::nullopt;
    return InstrumentDiscovery::Endpoint{address, *number};
}

void addOptions(QCommandLineParser &parser) {
    const auto value = [](const char *name, const char *valueName) {
        return QCommandLineOption(QString::fromLatin1(name), QString(),
                                  QString::fromLatin1(valueName));
    };
    const auto flag = [](const char *name) {
        return QCommandLineOption(QString::fromLatin1(name));
    };
    parser.addOptions(QList<QCommandLineOption>{
        value("timeout", "ms"), flag("json"), flag("no-vxi11"), flag("no-mdns"), flag("no-usb"),
        flag("no-idn"), value("broadcast", "address"), value("portmapper-port", "port"),
        value("mdns-target", "address:port"), flag("no-multicast"),
        value("multicast-interface", "name"), value("mdns-port", "port"), value("sysfs", "dir"),
        value("dev", "dir"),
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")})});
}

// Each reader takes one group of options into the search's options and returns what is wrong
// with them, or an empty string.
using OptionReader = QString (*)(const QCommandLineParser &, InstrumentDiscovery::Options &);

QString readArguments(const QCommandLineParser &parser, InstrumentDiscovery::Options &) {
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("discover takes no arguments");
    return {};
}

QString readTimeout(const QCommandLineParser &parser, InstrumentDiscovery::Options &options) {
    const QString timeout = QStringLiteral("timeout");
    if (!parser.isSet(timeout))
        return {};
    bool ok = false;
    options.timeoutMs = parser.value(timeout).toInt(&ok);
    if (!ok || options.timeoutMs < 0)
        return QStringLiteral("--timeout takes milliseconds, not %1").arg(parser.value(timeout));
    return {};
}

QString readSwitches(const QCommandLineParser &parser, InstrumentDiscovery::Options &options) {
    options.vxi11 = !parser.isSet(QStringLiteral("no-vxi11"));
    options.mdns = !parser.isSet(QStringLiteral("no-mdns"));
    options.usbtmc = !parser.isSet(QStringLiteral("no-usb"));
    options.askIdentity = !parser.isSet(QStringLiteral("no-idn"));
    options.mdnsMulticast = !parser.isSet(QStringLiteral("no-multicast"));
    options.multicastInterface = parser.value(QStringLiteral("multicast-interface"));
    options.sysfsRoot = parser.value(QStringLiteral("sysfs"));
    options.devRoot = parser.value(QStringLiteral("dev"));
    return {};
}

QString readBroadcasts(const QCommandLineParser &parser, InstrumentDiscovery::Options &options) {
    for (const QString &text : parser.values(QStringLiteral("broadcast"))) {
        const QHostAddress address(text);
        if (address.isNull())
            return QStringLiteral("--broadcast takes an IP address, not %1").arg(text);
        options.broadcastAddresses.append(address);
    }
    return {};
}

QString readMdnsTargets(const QCommandLineParser &parser, InstrumentDiscovery::Options &options) {
    for (const QString &text : parser.values(QStringLiteral("mdns-target"))) {
        const auto target = endpoint(text);
        if (!target)
            return QStringLiteral("--mdns-target takes ADDRESS:PORT, not %1").arg(text);
        options.mdnsTargets.append(*target);
    }
    return {};
}

QString readPorts(const QCommandLineParser &parser, InstrumentDiscovery::Options &options) {
    for (auto [name, field] : {std::pair{"portmapper-port", &options.portmapperPort},
                               std::pair{"mdns-port", &options.mdnsPort}}) {
        const QString option = QString::fromLatin1(name);
        if (!parser.isSet(option))
            continue;
        const auto number = port(parser.value(option));
        if (!number || *number == 0)
            return QStringLiteral("--%1 takes a port from 1 to 65535, not %2")
                .arg(option, parser.value(option));
        *field = *number;
    }
    return {};
}

// The search's options, or the first problem with those given, in the order of the readers.
std::variant<InstrumentDiscovery::Options, QString> readOptions(const QCommandLineParser &parser) {
    InstrumentDiscovery::Options options;
    for (const OptionReader read :
         {readArguments, readTimeout, readSwitches, readBroadcasts, readMdnsTargets, readPorts}) {
        if (QString problem = read(parser, options); !problem.isEmpty())
            return problem;
    }
    return options;
}

QJsonObject jsonOf(const DiscoveredInstrument &instrument) {
    return {{QStringLiteral("resource"), instrument.resource},
            {QStringLiteral("identity"), instrument.identity},
            {QStringLiteral("mechanism"), instrument.mechanism},
            {QStringLiteral("problem"), instrument.problem}};
}

// The identity, or the reason there is none in parentheses, or "-".
QString answerOf(const DiscoveredInstrument &instrument) {
    const QString answer = instrument.problem.isEmpty()
                               ? instrument.identity
                               : QStringLiteral("(%1)").arg(instrument.problem);
    return answer.isEmpty() ? QStringLiteral("-") : answer;
}

} // namespace

const QString DiscoverCommand::kUsage = QStringLiteral("[--timeout MS] [--json] [--no-usb] ...");

DiscoverCommand::DiscoverCommand(QTextStream &out, QTextStream &err, bool progressOnTerminal)
    : m_out(out)
    , m_err(err)
    , m_progress(progressOnTerminal) {}

int DiscoverCommand::usage(const QString &problem) {
    m_err << "ixo-states: " << problem << "\n\nusage: ixo-states discover " << kUsage
          << "\n'ixo-states discover --help' tells more." << Qt::endl;
    return kUsageError;
}

int DiscoverCommand::help() {
    m_out << "usage: ixo-states discover " << kUsage << "\n\n" << kHelp << Qt::flush;
    return kDone;
}

int DiscoverCommand::run(const QStringList &arguments) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QStringList{QStringLiteral("ixo-states")} + arguments))
        return usage(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        return help();
    const auto options = readOptions(parser);
    if (const auto *problem = std::get_if<QString>(&options))
        return usage(*problem);
    const QList<DiscoveredInstrument> found =
        search(std::get<InstrumentDiscovery::Options>(options));
    if (parser.isSet(QStringLiteral("json")))
        printJson(found);
    else
        printText(found);
    return kDone;
}

// Waits in an event loop of its own until the search is over; the mechanisms' problems are
// warnings.
QList<DiscoveredInstrument> DiscoverCommand::search(const InstrumentDiscovery::Options &options) {
    InstrumentDiscovery discovery;
    QEventLoop loop;
    QObject::connect(&discovery, &InstrumentDiscovery::finished, &loop, &QEventLoop::quit);
    if (m_progress) {
        QObject::connect(
            &discovery, &InstrumentDiscovery::progress, &loop,
            [this](int elapsedMs, int timeoutMs) { showProgress(elapsedMs, timeoutMs); });
    }
    discovery.start(options);
    if (discovery.isRunning())
        loop.exec();
    if (m_progress)
        m_err << "\r\033[K" << Qt::flush;
    for (const QString &problem : discovery.problems())
        m_err << "ixo-states: warning: " << problem << '\n';
    return discovery.instruments();
}

// One line, written over each time.
void DiscoverCommand::showProgress(int elapsedMs, int timeoutMs) {
    m_err << QStringLiteral("\rsearching for instruments: %1 s of %2 s")
                 .arg(elapsedMs / 1000.0, 0, 'f', 1)
                 .arg(timeoutMs / 1000.0, 0, 'f', 1)
          << Qt::flush;
}

void DiscoverCommand::printJson(const QList<DiscoveredInstrument> &found) {
    QJsonArray array;
    for (const DiscoveredInstrument &instrument : found)
        array.append(jsonOf(instrument));
    m_out << QJsonDocument(array).toJson(QJsonDocument::Indented) << Qt::flush;
}

// A column of resources, each followed by its answer and how it was found.
void DiscoverCommand::printText(const QList<DiscoveredInstrument> &found) {
    if (found.isEmpty())
        m_err << "no instruments found\n";
    qsizetype width = 0;
    for (const DiscoveredInstrument &instrument : found)
        width = std::max(width, instrument.resource.size());
    for (const DiscoveredInstrument &instrument : found)
        m_out << instrument.resource.leftJustified(width) << "  " << answerOf(instrument) << "  ["
              << instrument.mechanism << "]\n";
    m_out << Qt::flush;
    m_err << Qt::flush;
}

} // namespace ixo
