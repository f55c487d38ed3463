#include "instruments/simulator/SimulatedDevice.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/Ieee488Block.h"
#include "support/Crc32.h"

#include <QtEndian>
#include <array>
#include <optional>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.SimulatedDevice");
const QByteArray kBlockMagic = QByteArrayLiteral("IXS1");

struct Setting {
    const char *header;
    const char *initial;
    // Numbers lie in [min, max] and are written with format and precision; otherwise the value
    // is one of the "|"-separated choices.
    const char *choices;
    double min;
    double max;
    char format;
    int precision;
};

constexpr std::array<Setting, 12> kSettings{{
    {":FREQ", "1.000000E+09", nullptr, 9e3, 6e9, 'E', 6},
    {":POW", "-10.00", nullptr, -130, 20, 'f', 2},
    {":OUTP", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":AM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":AM:DEPT", "30.0", nullptr, 0, 100, 'f', 1},
    {":FM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":FM:DEV", "1.000E+03", nullptr, 0, 1e7, 'E', 3},
    {":PULM:STAT", "OFF", "ON|OFF", 0, 0, 0, 0},
    {":PULM:WIDT", "1.000E-06", nullptr, 1e-8, 1, 'E', 3},
    {":PULM:PER", "1.000E-03", nullptr, 1e-7, 10, 'E', 3},
    {":LFO:FREQ", "1.000E+03", nullptr, 0.1, 1e6, 'E', 3},
    {":TRIG:SOUR", "IMM", "IMM|EXT|BUS", 0, 0, 0, 0},
}};

int settingIndex(const QString &header) {
    for (size_t i = 0; i < kSettings.size(); ++i)
        if (header == QLatin1String(kSettings[i].header))
            return static_cast<int>(i);
    return -1;
}

// An instrument error raised while running a command; it goes to the error queue.
struct ScpiError {
    QString text;
};

[[noreturn]] void scpiError(int code, const QString &what, const QString &detail) {
    throw ScpiError{detail.isEmpty() ? QStringLiteral("%1,\"%2\"").arg(code).arg(what)
                                     : QStringLiteral("%1,\"%2; %3\"").arg(code).arg(what, detail)};
}

QString normalized(const Setting &setting, const QString &text) {
    const QString value = text.trimmed().toUpper();
    if (setting.choices) {
        QString choice = value;
        if (choice == QLatin1String("1"))
            choice = QStringLiteral("ON");
        else if (choice == QLatin1String("0"))
            choice = QStringLiteral("OFF");
        if (!QString::fromLatin1(setting.choices).split(QLatin1Char('|')).contains(choice))
            scpiError(-224, QStringLiteral("Illegal parameter value"),
                      QLatin1String(setting.header) + QLatin1Char(' ') + text.left(40));
        return choice;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        scpiError(-104, QStringLiteral("Data type error"),
                  QLatin1String(setting.header) + QLatin1Char(' ') + text.left(40));
    if (number < setting.min || number > setting.max)
        scpiError(-222, QStringLiteral("Data out of range"),
                  QLatin1String(setting.header) + QLatin1Char(' ') + text.left(40));
    return QString::number(number, setting.format, setting.precision);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The terminator is blank too, but only where it is not a block's data: a setup block may well
// end in a newline or space byte.
bool isBlank(char c) {
    return isSpace(c) || c == '\n';
}

} // namespace

const QString SimulatedDevice::kManufacturer = QStringLiteral("IXO");
const QString SimulatedDevice::kDefaultModel = QStringLiteral("SG-100");
const QString SimulatedDevice::kDefaultVersion = QStringLiteral("2.1.0");
const QString SimulatedDevice::kSetupQuery = QStringLiteral(":SYST:SET?");
const QString SimulatedDevice::kSetupCommand = QStringLiteral(":SYST:SET");
const QString SimulatedDevice::kWaveformCommand = QStringLiteral(":ARB:DATA");
const QString SimulatedDevice::kFaultCommand = QStringLiteral(":SIMulate:FAULt");

SimulatedDevice::SimulatedDevice(QString model, QString version, QString serial)
    : m_model(std::move(model))
    , m_version(std::move(version))
    , m_serial(std::move(serial)) {
    reset();
}

void SimulatedDevice::reset() {
    m_values.clear();
    for (const Setting &setting : kSettings)
        m_values.append(QString::fromLatin1(setting.initial));
    setWaveform({});
}

void SimulatedDevice::setWaveform(QByteArray waveform) {
    m_waveformCrc = Crc32::of(waveform);
    m_waveform = std::move(waveform);
}

QString SimulatedDevice::model() const {
    return m_model;
}

QString SimulatedDevice::version() const {
    return m_version;
}

QString SimulatedDevice::identity() const {
    return QStringList{kManufacturer, m_model, m_serial, m_version}.join(QLatin1Char(','));
}

qsizetype SimulatedDevice::messageLength(QByteArrayView input) {
    const qsizetype limit = std::min(input.size(), kMaxMessage);
    for (qsizetype i = 0; i < limit; ++i) {
        const char c = input[i];
        if (c == '\n')
            return i + 1;
        // A definite block may hold newlines; skip over its data.
        if (c == '#' && i > 0 && (isSpace(input[i - 1]) || input[i - 1] == ',')) {
            const Ieee488Block::Header header = Ieee488Block::scan(input.sliced(i), kMaxMessage);
            if (header.status == Ieee488Block::Status::Incomplete)
                return 0;
            if (header.status == Ieee488Block::Status::TooLarge)
                return -1;
            if (header.status == Ieee488Block::Status::Definite)
                i += header.headerLength + header.dataLength - 1;
        }
    }
    return input.size() >= kMaxMessage ? -1 : 0;
}

bool SimulatedDevice::parse(QByteArrayView message, QList<Command> &commands) {
    qsizetype pos = 0;
    const qsizetype size = message.size();
    const auto skipSpace = [&] {
        while (pos < size && isBlank(message[pos]))
            ++pos;
    };
    while (pos < size) {
        skipSpace();
        if (pos < size && message[pos] == ';') {
            ++pos;
            continue;
        }
        Command command;
        const qsizetype start = pos;
        while (pos < size && !isBlank(message[pos]) && message[pos] != ';')
            ++pos;
        command.header = QString::fromLatin1(message.sliced(start, pos - start)).toUpper();
        if (command.header.isEmpty())
            break;
        skipSpace();
        if (pos < size && message[pos] != ';') {
            command.hasParameter = true;
            const Ieee488Block::Header block = Ieee488Block::scan(message.sliced(pos), kMaxMessage);
            if (block.status == Ieee488Block::Status::Definite) {
                if (block.headerLength + block.dataLength > size - pos) {
                    pushError(QStringLiteral("-160,\"Block data error\""));
                    return false;
                }
                command.isBlock = true;
                command.parameter =
                    message.sliced(pos + block.headerLength, block.dataLength).toByteArray();
                pos += block.headerLength + block.dataLength;
            } else if (block.status == Ieee488Block::Status::Indefinite) {
                command.isBlock = true;
                // Its data runs to the terminator, which ends it.
                QByteArrayView data = message.sliced(pos + block.headerLength);
                if (data.endsWith('\n'))
                    data.chop(1);
                command.parameter = data.toByteArray();
                pos = size;
            } else if (block.status != Ieee488Block::Status::NotABlock) {
                pushError(QStringLiteral("-160,\"Block data error\""));
                return false;
            } else {
                const qsizetype end = message.sliced(pos).indexOf(';');
                const qsizetype length = end < 0 ? size - pos : end;
                command.parameter = message.sliced(pos, length).trimmed().toByteArray();
                pos += length;
            }
            skipSpace();
            if (pos < size && message[pos] != ';') {
                pushError(QStringLiteral("-102,\"Syntax error; %1\"")
                              .arg(QString::fromLatin1(
                                  message.sliced(pos).first(std::min<qsizetype>(40, size - pos)))));
                return false;
            }
        }
        if (!command.header.startsWith(QLatin1Char(':')) &&
            !command.header.startsWith(QLatin1Char('*')))
            command.header.prepend(QLatin1Char(':'));
        commands.append(command);
    }
    return true;
}

SimulatedDevice::Reply SimulatedDevice::process(QByteArrayView message) {
    const std::lock_guard lock(m_mutex);
    return run(message, true);
}

SimulatedDevice::Reply SimulatedDevice::run(QByteArrayView message, bool withFaults) {
    Reply reply;
    QList<Command> commands;
    if (!parse(message, commands))
        return reply;
    bool capture = false;
    bool restore = false;
    bool onlyErrorQueries = true;
    for (const Command &command : commands) {
        onlyErrorQueries &= command.header == QLatin1String(":SYST:ERR?");
        capture |= command.header == QLatin1String("*LRN?") || command.header == kSetupQuery;
        restore |= command.hasParameter &&
                   (command.header == kSetupCommand || settingIndex(command.header) >= 0);
    }
    bool blankCapture = false;
    bool refuseChanges = false;
    if (withFaults && restore) {
        if (!m_failRestore.isEmpty()) {
            pushError(std::exchange(m_failRestore, QString()));
            refuseChanges = true;
        }
        if (const int delay = std::exchange(m_delayRestore, 0); delay > 0)
            m_busyUntil = QDeadlineTimer(delay);
    }
    if (withFaults && capture) {
        if (!m_failCapture.isEmpty()) {
            pushError(std::exchange(m_failCapture, QString()));
            blankCapture = true;
        }
        m_pendingDelay += std::exchange(m_delayCapture, 0);
        reply.dropHalfway = std::exchange(m_dropCapture, false);
    }

    QByteArrayList answers;
    bool awaitsOperation = false;
    for (const Command &command : commands) {
        awaitsOperation |= command.header == QLatin1String("*OPC?");
        // The queries of a refused restore, such as its *OPC?, are still answered.
        if (refuseChanges && (command.hasParameter || command.header == QLatin1String("*RST")))
            continue;
        try {
            const QByteArray answer = execute(command, blankCapture);
            if (command.header.endsWith(QLatin1Char('?')))
                answers.append(answer);
        } catch (const ScpiError &error) {
            pushError(error.text);
        }
    }
    if (answers.isEmpty()) {
        reply.dropHalfway = false;
        return reply;
    }
    // A lone answer keeps its buffer, which a setup block reserves room in for the newline.
    reply.bytes = answers.size() == 1 ? std::move(answers.front()) : answers.join(';');
    reply.bytes.append('\n');
    if (withFaults) {
        reply.delayMs = int(std::exchange(m_pendingDelay, 0));
        if (awaitsOperation || !m_holdUntil.hasExpired())
            reply.delayMs = int(std::max<qint64>(reply.delayMs, m_busyUntil.remainingTime()));
        if (!onlyErrorQueries && std::exchange(m_garble, false))
            reply.bytes = std::exchange(m_garbage, QByteArray());
    }
    return reply;
}

QByteArray SimulatedDevice::execute(const Command &command, bool blankCapture) {
    const QString &header = command.header;
    const bool query = header.endsWith(QLatin1Char('?'));
    if (query && command.hasParameter)
        scpiError(-108, QStringLiteral("Parameter not allowed"), header);
    if (header == QLatin1String("*IDN?"))
        return identity().toUtf8();
    if (header == QLatin1String("*OPC?"))
        return "1";
    if (header == QLatin1String("*ESR?")) {
        if (m_opcArmed && m_busyUntil.hasExpired()) {
            m_opcArmed = false;
            m_eventStatus |= 1;
        }
        return QByteArray::number(std::exchange(m_eventStatus, 0));
    }
    if (header == QLatin1String("*LRN?"))
        return blankCapture ? QByteArray() : learnString();
    if (header == kSetupQuery)
        return blankCapture ? Ieee488Block::encode({}) : setupBlock();
    if (header == QLatin1String(":SYST:ERR?") || header == QLatin1String(":SYST:ERR:NEXT?"))
        return (m_errors.isEmpty() ? QStringLiteral("0,\"No error\"") : m_errors.takeFirst())
            .toUtf8();
    const int index = settingIndex(query ? header.chopped(1) : header);
    if (query && index >= 0)
        return m_values[index].toUtf8();
    if (header == kWaveformCommand + QLatin1Char('?'))
        return Ieee488Block::encode(m_waveform);
    if (query)
        scpiError(-113, QStringLiteral("Undefined header"), header);

    if (header == QLatin1String("*RST") || header == QLatin1String("*CLS") ||
        header == QLatin1String("*OPC") || header == QLatin1String("*WAI")) {
        if (command.hasParameter)
            scpiError(-108, QStringLiteral("Parameter not allowed"), header);
        if (header == QLatin1String("*RST"))
            reset();
        else if (header == QLatin1String("*CLS")) {
            m_errors.clear();
            m_eventStatus = 0;
            m_opcArmed = false;
        } else if (header == QLatin1String("*WAI")) {
            m_holdUntil = m_busyUntil;
        } else if (header == QLatin1String("*OPC")) {
            if (m_busyUntil.hasExpired())
                m_eventStatus |= 1;
            else
                m_opcArmed = true;
        }
        return {};
    }
    if (header == kWaveformCommand) {
        if (!command.isBlock)
            scpiError(-104, QStringLiteral("Data type error"), QStringLiteral("block expected"));
        if (command.parameter.size() > kMaxWaveform)
            scpiError(-223, QStringLiteral("Too much data"), header);
        setWaveform(command.parameter);
        return {};
    }
    if (header == kSetupCommand) {
        if (!command.isBlock)
            scpiError(-104, QStringLiteral("Data type error"), QStringLiteral("block expected"));
        restoreBlock(command.parameter);
        return {};
    }
    if (header == QLatin1String(":SIM:FAUL") || header == QLatin1String(":SIMULATE:FAULT")) {
        injectFault(command.parameter.trimmed().toUpper());
        return {};
    }
    if (index < 0)
        scpiError(-113, QStringLiteral("Undefined header"), header.left(40));
    if (!command.hasParameter)
        scpiError(-109, QStringLiteral("Missing parameter"), header);
    if (command.isBlock)
        scpiError(-104, QStringLiteral("Data type error"), header);
    m_values[index] = normalized(kSettings[index], QString::fromUtf8(command.parameter));
    return {};
}

QByteArray SimulatedDevice::learnString() const {
    QByteArrayList commands{"*RST"};
    for (size_t i = 0; i < kSettings.size(); ++i)
        commands.append(QByteArray(kSettings[i].header) + ' ' + m_values[int(i)].toUtf8());
    return commands.join(';');
}

// Magic, then each value as a length byte and its text, then, when there is a waveform, its
// length and CRC-32 (32 bits each, big-endian) and its bytes, then a CRC-32 of all but the
// waveform bytes.
QByteArray SimulatedDevice::setupBlock() const {
    QByteArrayList values;
    qsizetype bodySize = kBlockMagic.size() + 4;
    for (const QString &value : m_values) {
        values.append(value.toUtf8().left(255));
        bodySize += 1 + values.back().size();
    }
    if (!m_waveform.isEmpty())
        bodySize += 8 + m_waveform.size();
    // Built in place with room for the terminator: the waveform may be megabytes.
    QByteArray block;
    block.reserve(Ieee488Block::kMaxHeaderLength + bodySize + 1);
    Ieee488Block::appendHeader(block, bodySize);
    const qsizetype start = block.size();
    block.append(kBlockMagic);
    for (const QByteArray &bytes : values) {
        block.append(static_cast<char>(bytes.size()));
        block.append(bytes);
    }
    if (!m_waveform.isEmpty()) {
        const quint32 length = qToBigEndian(static_cast<quint32>(m_waveform.size()));
        const quint32 waveformCrc = qToBigEndian(m_waveformCrc);
        block.append(reinterpret_cast<const char *>(&length), sizeof length);
        block.append(reinterpret_cast<const char *>(&waveformCrc), sizeof waveformCrc);
        block.append(m_waveform);
    }
    // The waveform bytes are left to their own checksum.
    Crc32 crc32;
    crc32.update(QByteArrayView(block).sliced(start, bodySize - 4 - m_waveform.size()));
    const quint32 crc = qToBigEndian(crc32.value());
    block.append(reinterpret_cast<const char *>(&crc), sizeof crc);
    return block;
}

void SimulatedDevice::restoreBlock(const QByteArray &block) {
    const auto invalid = [](const QString &why) {
        scpiError(-161, QStringLiteral("Invalid block data"), why);
    };
    if (block.size() < kBlockMagic.size() + 4 || !block.startsWith(kBlockMagic))
        invalid(QStringLiteral("not a setup of this instrument"));
    const QByteArrayView body = QByteArrayView(block).chopped(4);
    const quint32 crc = qFromBigEndian<quint32>(block.constData() + body.size());
    QStringList values;
    qsizetype pos = kBlockMagic.size();
    for (const Setting &setting : kSettings) {
        if (pos >= body.size())
            invalid(QStringLiteral("setup too short"));
        const auto length = static_cast<unsigned char>(body[pos++]);
        if (length > body.size() - pos)
            invalid(QStringLiteral("setup too short"));
        values.append(normalized(setting, QString::fromUtf8(body.sliced(pos, length))));
        pos += length;
    }
    QByteArrayView covered = body;
    QByteArrayView waveform;
    quint32 waveformCrc = Crc32::of({});
    if (pos != body.size()) {
        if (body.size() - pos < 8)
            invalid(QStringLiteral("bytes after the setup"));
        const auto length = qFromBigEndian<quint32>(body.constData() + pos);
        waveformCrc = qFromBigEndian<quint32>(body.constData() + pos + 4);
        pos += 8;
        if (length == 0 || length > kMaxWaveform || qsizetype(length) != body.size() - pos)
            invalid(QStringLiteral("waveform length does not match the setup"));
        covered = body.first(pos);
        waveform = body.sliced(pos);
    }
    if (crc != Crc32::of(covered))
        invalid(QStringLiteral("checksum mismatch"));
    if (waveformCrc != Crc32::of(waveform))
        invalid(QStringLiteral("waveform checksum mismatch"));
    m_values = values;
    m_waveform = waveform.toByteArray();
    m_waveformCrc = waveformCrc;
}

void SimulatedDevice::apply(const QByteArray &commands) {
    const std::lock_guard lock(m_mutex);
    const QStringList values = m_values;
    const QByteArray waveform = m_waveform;
    const quint32 waveformCrc = m_waveformCrc;
    const QStringList errors = std::exchange(m_errors, {});
    const int eventStatus = m_eventStatus;
    QByteArrayView rest(commands);
    while (!rest.isEmpty()) {
        // Split as a connection would, so that a block's data may hold newlines.
        const qsizetype complete = messageLength(rest);
        const qsizetype length = complete > 0 ? complete : rest.size();
        run(rest.first(length), false);
        rest = rest.sliced(length);
    }
    const QStringList raised = std::exchange(m_errors, errors);
    m_eventStatus = eventStatus;
    if (!raised.isEmpty()) {
        m_values = values;
        m_waveform = waveform;
        m_waveformCrc = waveformCrc;
        throw AutomationError(ErrorNumber::Fail, kSource, raised.join(QLatin1String("; ")));
    }
}

QString SimulatedDevice::setting(const QString &header) const {
    const std::lock_guard lock(m_mutex);
    QString key = header.trimmed().toUpper();
    if (!key.startsWith(QLatin1Char(':')))
        key.prepend(QLatin1Char(':'));
    const int index = settingIndex(key);
    return index < 0 ? QString() : m_values[index];
}

QByteArray SimulatedDevice::waveform() const {
    const std::lock_guard lock(m_mutex);
    return m_waveform;
}

QMap<QString, QString> SimulatedDevice::settings() const {
    const std::lock_guard lock(m_mutex);
    QMap<QString, QString> settings;
    for (size_t i = 0; i < kSettings.size(); ++i)
        settings.insert(QLatin1String(kSettings[i].header), m_values[int(i)]);
    return settings;
}

void SimulatedDevice::queueError(const QString &error) {
    const std::lock_guard lock(m_mutex);
    pushError(error);
}

bool SimulatedDevice::operationPending() const {
    const std::lock_guard lock(m_mutex);
    return !m_busyUntil.hasExpired();
}

int SimulatedDevice::eventStatus() const {
    const std::lock_guard lock(m_mutex);
    return m_eventStatus;
}

void SimulatedDevice::pushError(const QString &error) {
    // Command, execution, device-specific and query errors each have their status bit.
    const int code = error.section(QLatin1Char(','), 0, 0).toInt();
    if (code <= -100 && code > -500)
        m_eventStatus |= 0x20 >> (-code / 100 - 1);
    if (m_errors.size() >= kErrorQueueSize) {
        m_errors.last() = QStringLiteral("-350,\"Queue overflow\"");
        return;
    }
    m_errors.append(error);
}

QStringList SimulatedDevice::faultNames() {
    return {QStringLiteral("DROP"), QStringLiteral("STALL"),    QStringLiteral("GARBAGE"),
            QStringLiteral("XID"),  QStringLiteral("OVERSIZE"), QStringLiteral("FATAL")};
}

void SimulatedDevice::injectFault(const QByteArray &name) {
    if (name == "DROP")
        m_dropCapture = true;
    else if (name == "STALL")
        m_delayCapture = kStallMs;
    else if (name == "GARBAGE") {
        m_garble = true;
        m_garbage = QByteArrayLiteral("\x01\xFEgarbage\x7F#9\n");
    } else if (name == "XID")
        m_protocolFault = ProtocolFault::WrongXid;
    else if (name == "OVERSIZE")
        m_protocolFault = ProtocolFault::Oversize;
    else if (name == "FATAL")
        m_protocolFault = ProtocolFault::Fatal;
    else
        scpiError(-224, QStringLiteral("Illegal parameter value"),
                  kFaultCommand + QLatin1Char(' ') + QString::fromLatin1(name.left(40)));
}

void SimulatedDevice::injectProtocolFault(ProtocolFault fault) {
    const std::lock_guard lock(m_mutex);
    m_protocolFault = fault;
}

SimulatedDevice::ProtocolFault
SimulatedDevice::takeProtocolFault(std::initializer_list<ProtocolFault> handled) {
    const std::lock_guard lock(m_mutex);
    for (const ProtocolFault fault : handled)
        if (fault != ProtocolFault::None && fault == m_protocolFault)
            return std::exchange(m_protocolFault, ProtocolFault::None);
    return ProtocolFault::None;
}

void SimulatedDevice::failNextCapture(const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_failCapture = error;
}

void SimulatedDevice::failNextRestore(const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_failRestore = error;
}

void SimulatedDevice::delayNextCapture(int milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_delayCapture = milliseconds;
}

void SimulatedDevice::delayNextRestore(int milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_delayRestore = milliseconds;
}

void SimulatedDevice::dropNextCapture() {
    const std::lock_guard lock(m_mutex);
    m_dropCapture = true;
}

void SimulatedDevice::garbleNextAnswer(const QByteArray &bytes) {
    const std::lock_guard lock(m_mutex);
    m_garble = true;
    m_garbage = bytes;
}

} // namespace ixo
