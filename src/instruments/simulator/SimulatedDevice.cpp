#include "instruments/simulator/SimulatedDevice.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "instruments/simulator/ScpiError.h"
#include "instruments/simulator/ScpiMessage.h"

namespace ixo {

namespace {

const QString kSimulatedDeviceSource = QStringLiteral("IxoInstrSetups.SimulatedDevice");

using Role = SimulatedFamily::Role;

} // namespace

const QString SimulatedDevice::kManufacturer = QStringLiteral("IXO");
const QString SimulatedDevice::kDefaultModel = QStringLiteral("SG-100");
const QString SimulatedDevice::kDefaultVersion = QStringLiteral("2.1.0");
const QString SimulatedDevice::kDefaultFamily = QStringLiteral("ixo");
const QString SimulatedDevice::kSetupQuery = QStringLiteral(":SYST:SET?");
const QString SimulatedDevice::kSetupCommand = QStringLiteral(":SYST:SET");
const QString SimulatedDevice::kWaveformCommand = QStringLiteral(":ARB:DATA");
const QString SimulatedDevice::kFaultCommand = QStringLiteral(":SIMulate:FAULt");

SimulatedDevice::SimulatedDevice(QString model, QString version, QString serial)
    : m_state(*SimulatedFamily::find(kDefaultFamily), model, version, serial) {}

SimulatedDevice::SimulatedDevice(const SimulatedFamily &family, const QString &model,
                                 const QString &version, const QString &serial)
    : m_state(family, model, version, serial) {}

std::shared_ptr<SimulatedDevice> SimulatedDevice::forFamily(const QString &family,
                                                            const QString &model,
                                                            const QString &version,
                                                            const QString &serial) {
    const SimulatedFamily *found = SimulatedFamily::find(family);
    return found ? std::make_shared<SimulatedDevice>(*found, model, version, serial) : nullptr;
}

QStringList SimulatedDevice::familyNames() {
    QStringList names;
    for (const SimulatedFamily &family : SimulatedFamily::all())
        names.append(family.name);
    return names;
}

QString SimulatedDevice::familyDescription(const QString &family) {
    const SimulatedFamily *found = SimulatedFamily::find(family);
    return found ? found->description : QString();
}

QString SimulatedDevice::familyIdentity(const QString &family) {
    const SimulatedFamily *found = SimulatedFamily::find(family);
    return found ? found->identity : QString();
}

QString SimulatedDevice::family() const {
    return m_state.family.name;
}

QString SimulatedDevice::model() const {
    return m_state.identity[1];
}

QString SimulatedDevice::version() const {
    return m_state.identity[3];
}

QString SimulatedDevice::identity() const {
    return m_state.identity.join(QLatin1Char(','));
}

qsizetype SimulatedDevice::messageLength(QByteArrayView input) {
    return ScpiMessage::length(input, kMaxMessage);
}

SimulatedDevice::Reply SimulatedDevice::process(QByteArrayView message) {
    const std::lock_guard lock(m_mutex);
    return run(message, true);
}

SimulatedDevice::Reply SimulatedDevice::run(QByteArrayView message, bool withFaults) {
    Reply reply;
    QList<ScpiCommand> commands;
    try {
        commands = ScpiMessage::parse(message, kMaxMessage);
    } catch (const ScpiError &error) {
        m_state.pushError(error);
        return reply;
    }
    Handlers handlers;
    bool onlyErrorQueries = true;
    for (const ScpiCommand &command : commands) {
        handlers.append(m_state.family.command(command.header));
        onlyErrorQueries &= handlers.back() && handlers.back()->role == Role::ErrorQuery;
    }
    const bool refuseChanges = withFaults && !startFaults(handlers, commands, reply);
    QByteArrayList answers = this->answers(handlers, commands, withFaults, refuseChanges);
    m_state.blankCapture = false;
    if (answers.isEmpty()) {
        reply.dropHalfway = false;
        return reply;
    }
    // A lone answer keeps its buffer, which a setup block reserves room in for the newline.
    reply.bytes = answers.size() == 1 ? std::move(answers.front()) : answers.join(';');
    reply.bytes.append('\n');
    if (withFaults) {
        const bool awaitsOperation =
            std::any_of(commands.begin(), commands.end(), [](const ScpiCommand &command) {
                return command.header == QLatin1String("*OPC?");
            });
        reply.delayMs = std::exchange(m_pendingDelay, 0);
        if (awaitsOperation || !m_state.holdUntil.hasExpired())
            reply.delayMs = int(std::max<qint64>(reply.delayMs, m_state.busyUntil.remainingTime()));
        if (!onlyErrorQueries && std::exchange(m_state.faults.garble, false))
            reply.bytes = std::exchange(m_state.faults.garbage, QByteArray());
    }
    return reply;
}

bool SimulatedDevice::startFaults(const Handlers &handlers, const QList<ScpiCommand> &commands,
                                  Reply &reply) {
    bool capture = false;
    bool restore = false;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const Role role = handlers[i] ? handlers[i]->role : Role::None;
        capture |= role == Role::Capture;
        restore |= role == Role::Restore && commands[i].hasParameter();
    }
    SimulatedFaults &faults = m_state.faults;
    bool accepted = true;
    if (restore) {
        if (!faults.failRestore.isEmpty()) {
            m_state.pushError(std::exchange(faults.failRestore, QString()));
            accepted = false;
        }
        if (const int delay = std::exchange(faults.delayRestore, 0); delay > 0)
            m_state.busyUntil = QDeadlineTimer(delay);
    }
    if (capture) {
        if (!faults.failCapture.isEmpty()) {
            m_state.pushError(std::exchange(faults.failCapture, QString()));
            m_state.blankCapture = true;
        }
        m_pendingDelay += std::exchange(faults.delayCapture, 0);
        reply.dropHalfway = std::exchange(faults.dropCapture, false);
    }
    return accepted;
}

QByteArrayList SimulatedDevice::answers(const Handlers &handlers,
                                        const QList<ScpiCommand> &commands, bool withFaults,
                                        bool refuseChanges) {
    QByteArrayList answers;
    for (qsizetype i = 0; i < commands.size(); ++i) {
        const ScpiCommand &command = commands[i];
        // The queries of a refused restore, such as its *OPC?, are still answered.
        if (refuseChanges && (command.hasParameter() || command.header == QLatin1String("*RST")))
            continue;
        const QString pattern = handlers[i] ? handlers[i]->pattern : command.header;
        if (withFaults && m_state.faults.takeCommandFailure(pattern)) {
            m_state.pushError(m_state.faults.failCommandError);
            continue;
        }
        try {
            QByteArray answer = m_state.execute(command, handlers[i]);
            if (command.isQuery())
                answers.append(std::move(answer));
        } catch (const ScpiError &error) {
            m_state.pushError(error);
        }
    }
    return answers;
}

void SimulatedDevice::apply(const QByteArray &commands) {
    const std::lock_guard lock(m_mutex);
    const SimulatedSettings settings = m_state.settings;
    const QStringList errors = std::exchange(m_state.errors, {});
    const int eventStatus = m_state.eventStatus;
    const int commandError = m_state.commandError;
    const int executionError = m_state.executionError;
    QByteArrayView rest(commands);
    while (!rest.isEmpty()) {
        // Split as a connection would, so that a block's data may hold newlines.
        const qsizetype complete = messageLength(rest);
        const qsizetype length = complete > 0 ? complete : rest.size();
        run(rest.first(length), false);
        rest = rest.sliced(length);
    }
    const QStringList raised = std::exchange(m_state.errors, errors);
    m_state.eventStatus = eventStatus;
    m_state.commandError = commandError;
    m_state.executionError = executionError;
    if (!raised.isEmpty()) {
        m_state.settings = settings;
        throw AutomationError(ErrorNumber::Fail, kSimulatedDeviceSource,
                              raised.join(QLatin1String("; ")));
    }
}

QString SimulatedDevice::setting(const QString &header) const {
    const std::lock_guard lock(m_mutex);
    QString key = header.trimmed().toUpper();
    int channel = 0;
    if (const qsizetype list = key.indexOf(QLatin1String("(@")); list >= 0) {
        channel = QStringView(key).sliced(list + 2).chopped(1).toInt();
        key = key.left(list).trimmed();
    }
    const int index = m_state.settings.find(key, channel);
    return index < 0 ? QString() : m_state.settings.value(index);
}

QMap<QString, QString> SimulatedDevice::settings() const {
    const std::lock_guard lock(m_mutex);
    return m_state.settings.all();
}

QByteArray SimulatedDevice::waveform() const {
    const std::lock_guard lock(m_mutex);
    return m_state.settings.waveform();
}

void SimulatedDevice::loadWaveform(QByteArray waveform) {
    const std::lock_guard lock(m_mutex);
    m_state.settings.setWaveform(std::move(waveform));
}

void SimulatedDevice::queueError(const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_state.pushError(error);
}

bool SimulatedDevice::operationPending() const {
    const std::lock_guard lock(m_mutex);
    return !m_state.busyUntil.hasExpired();
}

int SimulatedDevice::eventStatus() const {
    const std::lock_guard lock(m_mutex);
    return m_state.eventStatus;
}

QStringList SimulatedDevice::files() const {
    const std::lock_guard lock(m_mutex);
    return m_state.files.paths();
}

std::optional<QByteArray> SimulatedDevice::file(const QString &path) const {
    const std::lock_guard lock(m_mutex);
    return m_state.files.get(path);
}

void SimulatedDevice::putFile(const QString &path, const QByteArray &bytes) {
    const std::lock_guard lock(m_mutex);
    m_state.files.put(path, bytes);
}

void SimulatedDevice::setApplyDelay(int milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_state.applyDelayMs = milliseconds;
}

void SimulatedDevice::setBlockForm(std::optional<Ieee488Block::Form> form) {
    const std::lock_guard lock(m_mutex);
    m_state.blockForm = form;
}

QStringList SimulatedDevice::faultNames() {
    return SimulatedFaults::names();
}

void SimulatedDevice::injectProtocolFault(ProtocolFault fault) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.protocolFault = fault;
}

SimulatedDevice::ProtocolFault
SimulatedDevice::takeProtocolFault(std::initializer_list<ProtocolFault> handled) {
    const std::lock_guard lock(m_mutex);
    for (const ProtocolFault fault : handled)
        if (fault != ProtocolFault::None && fault == m_state.faults.protocolFault)
            return std::exchange(m_state.faults.protocolFault, ProtocolFault::None);
    return ProtocolFault::None;
}

void SimulatedDevice::failNextCapture(const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.failCapture = error;
}

void SimulatedDevice::failNextRestore(const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.failRestore = error;
}

void SimulatedDevice::failNextCommand(const QString &mnemonic, const QString &error) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.failCommand = mnemonic.trimmed().toUpper();
    m_state.faults.failCommandError = error;
}

void SimulatedDevice::delayNextCapture(int milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.delayCapture = milliseconds;
}

void SimulatedDevice::delayNextRestore(int milliseconds) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.delayRestore = milliseconds;
}

void SimulatedDevice::dropNextCapture() {
    const std::lock_guard lock(m_mutex);
    m_state.faults.dropCapture = true;
}

void SimulatedDevice::garbleNextAnswer(const QByteArray &bytes) {
    const std::lock_guard lock(m_mutex);
    m_state.faults.garble = true;
    m_state.faults.garbage = bytes;
}

} // namespace ixo
