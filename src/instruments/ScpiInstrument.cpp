#include "instruments/ScpiInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/transports/InstrumentTransport.h"
#include "support/LegacySetupFile.h"

#include <QRegularExpression>
#include <QThread>

namespace ixo {

namespace {

const QString kSource = QStringLiteral("IxoInstrSetups.ScpiInstrument");
constexpr qsizetype kMaxQuoted = 60;
constexpr QByteArrayView kClear = "*CLS\n";
// The operation complete bit of the standard event status register.
constexpr int kOperationComplete = 1;

// Instrument answers quoted in messages: short, and without control characters.
QString quoted(QByteArrayView bytes) {
    QString text;
    for (const char c : bytes.first(std::min(bytes.size(), kMaxQuoted))) {
        const auto u = static_cast<unsigned char>(c);
        text += u >= 0x20 && u < 0x7F ? QString(QLatin1Char(c))
                                      : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    if (bytes.size() > kMaxQuoted)
        text += QStringLiteral("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

[[noreturn]] void refuse(std::int32_t number, const QString &why) {
    throw AutomationError(number, kSource, why);
}

void pause(int milliseconds) {
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

// The common command that tells when the setup has been taken, and whether it answers.
QByteArray completionCommand(InstrumentProfile::Completion completion) {
    switch (completion) {
    case InstrumentProfile::Completion::OpcQuery:
        return "*OPC?";
    case InstrumentProfile::Completion::Wait:
        return "*WAI";
    case InstrumentProfile::Completion::EsrPolling:
        return "*OPC";
    case InstrumentProfile::Completion::Delay:
        break;
    }
    return {};
}

} // namespace

const QString ScpiInstrument::kLearnQuery = QStringLiteral("*LRN?");

ScpiInstrument::ScpiInstrument(const QString &resourceName)
    : m_transport(InstrumentTransport::create(ResourceString::parse(resourceName))) {
    m_profile.name = InstrumentProfiles::kGenericName;
}

ScpiInstrument::ScpiInstrument(std::unique_ptr<InstrumentTransport> transport)
    : m_transport(std::move(transport)) {
    m_profile.name = InstrumentProfiles::kGenericName;
}

ScpiInstrument::~ScpiInstrument() = default;

QString ScpiInstrument::resourceName() const {
    return m_transport->resourceName();
}

void ScpiInstrument::setTimeout(int milliseconds) {
    if (milliseconds <= 0)
        refuse(ErrorNumber::InvalidProcedureCall, QStringLiteral("The timeout must be positive"));
    m_profile.timeoutMs = milliseconds;
    m_overrides.timeoutMs = milliseconds;
}

void ScpiInstrument::setMaxBlockSize(qsizetype bytes) {
    if (bytes <= 0)
        refuse(ErrorNumber::InvalidProcedureCall,
               QStringLiteral("The block size limit must be positive"));
    m_profile.maxBlockSize = bytes;
    m_overrides.maxBlockSize = bytes;
}

void ScpiInstrument::setLearnQuery(const QString &query) {
    m_profile.captureQuery = query.trimmed().isEmpty() ? kLearnQuery : query.trimmed();
    m_profile.blockAnswer = false;
    m_overrides.capture = {m_profile.captureQuery, false};
}

void ScpiInstrument::setSetupQuery(const QString &query) {
    if (query.trimmed().isEmpty())
        refuse(ErrorNumber::InvalidProcedureCall, QStringLiteral("The setup query is empty"));
    m_profile.captureQuery = query.trimmed();
    m_profile.blockAnswer = true;
    m_overrides.capture = {m_profile.captureQuery, true};
}

void ScpiInstrument::setRestoreCommand(const QString &command) {
    m_profile.restoreCommand = command.trimmed();
    m_overrides.restoreCommand = m_profile.restoreCommand;
}

void ScpiInstrument::applyProfile(const InstrumentProfile &profile) {
    m_profile = profile;
    m_overrides = {};
    m_profileForced = true;
}

void ScpiInstrument::useProfiles(std::shared_ptr<const InstrumentProfiles> profiles,
                                 const QString &name) {
    m_profileForced = !name.trimmed().isEmpty();
    if (m_profileForced && profiles) {
        m_profile = profiles->named(name);
        applyOverrides();
    }
    m_profiles = std::move(profiles);
    if (!m_profileForced && m_profiles && m_identity) {
        m_profile = m_profiles->matching(m_identity->manufacturer, m_identity->model);
        applyOverrides();
    }
}

void ScpiInstrument::applyOverrides() {
    if (m_overrides.timeoutMs)
        m_profile.timeoutMs = *m_overrides.timeoutMs;
    if (m_overrides.maxBlockSize)
        m_profile.maxBlockSize = *m_overrides.maxBlockSize;
    if (m_overrides.capture)
        std::tie(m_profile.captureQuery, m_profile.blockAnswer) = *m_overrides.capture;
    if (m_overrides.restoreCommand)
        m_profile.restoreCommand = *m_overrides.restoreCommand;
}

void ScpiInstrument::warn(const QString &warning) {
    m_warnings.append(warning);
    if (m_warningHandler)
        m_warningHandler(warning);
}

void ScpiInstrument::disconnect() {
    m_transport->close();
    m_identity.reset();
    m_input.clear();
}

void ScpiInstrument::cancel() {
    m_transport->cancel();
}

// Runs one exchange; when it fails the connection is out of step, so it is closed.
template <typename Exchange> auto ScpiInstrument::guarded(Exchange &&exchange) {
    try {
        return exchange();
    } catch (const AutomationError &) {
        disconnect();
        throw;
    }
}

void ScpiInstrument::protocolError(const QString &what) {
    disconnect();
    refuse(VisaStatus::Io, resourceName() + QLatin1Char(' ') + what);
}

void ScpiInstrument::connectIfNeeded() {
    if (m_identity && m_transport->isOpen())
        return;
    disconnect();
    guarded([this] {
        const QDeadlineTimer until = deadline();
        m_transport->open(until);
        writeMessage("*IDN?", until);
        const QByteArray answer = readLine(until, QStringLiteral("*IDN?"));
        QStringList fields = QString::fromUtf8(answer).split(QLatin1Char(','));
        for (QString &field : fields)
            field = field.trimmed();
        if (fields.size() < 4 || fields[1].isEmpty())
            protocolError(QStringLiteral("did not identify itself: *IDN? answered ") +
                          quoted(answer));
        m_identity = Identity{fields[0], fields[1], fields[2], fields.mid(3).join(u',')};
    });
    if (m_profiles && !m_profileForced) {
        m_profile = m_profiles->matching(m_identity->manufacturer, m_identity->model);
        applyOverrides();
    }
}

ScpiInstrument::Identity ScpiInstrument::identity() {
    connectIfNeeded();
    return *m_identity;
}

QString ScpiInstrument::Model() {
    return identity().model;
}

QString ScpiInstrument::Version() {
    return identity().firmware;
}

void ScpiInstrument::discardInput() {
    // Whatever arrived outside an exchange (a late terminator) must not answer the next query.
    m_input.clear();
    if (m_transport->isOpen())
        m_transport->read(m_profile.maxBlockSize, QDeadlineTimer(0));
}

// Always terminated: a setup block may itself end in a newline byte, which is data, not the
// end of the message. Taken by value, so that a setup moved in keeps its one buffer.
void ScpiInstrument::writeMessage(QByteArray message, QDeadlineTimer until) {
    message.append('\n');
    m_transport->write(message, until);
}

void ScpiInstrument::fill(qsizetype maxBytes, QDeadlineTimer until, const QString &query) {
    const QByteArray bytes = m_transport->read(std::max<qsizetype>(1, maxBytes), until);
    if (bytes.isEmpty()) {
        disconnect();
        refuse(VisaStatus::Timeout, QStringLiteral("%1 did not answer %2 within %3 ms")
                                        .arg(resourceName(), query)
                                        .arg(m_profile.timeoutMs));
    }
    m_input.append(bytes);
}

QByteArray ScpiInstrument::readLine(QDeadlineTimer until, const QString &query) {
    for (;;) {
        const qsizetype end = m_input.indexOf('\n');
        if (end >= 0) {
            QByteArray line = m_input.left(end);
            m_input.remove(0, end + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            return line;
        }
        if (m_input.size() > m_profile.maxBlockSize)
            protocolError(QStringLiteral("answered %1 with more than %2 bytes")
                              .arg(query)
                              .arg(m_profile.maxBlockSize));
        fill(m_profile.maxBlockSize + 1 - m_input.size(), until, query);
    }
}

QByteArray ScpiInstrument::readBlock(QDeadlineTimer until, const QString &query) {
    for (;;) {
        while (!m_input.isEmpty() && (m_input[0] == ' ' || m_input[0] == '\t'))
            m_input.remove(0, 1);
        const Ieee488Block::Header header = Ieee488Block::scan(m_input, m_profile.maxBlockSize);
        switch (header.status) {
        case Ieee488Block::Status::Incomplete:
            fill(16, until, query);
            continue;
        case Ieee488Block::Status::NotABlock:
            protocolError(
                QStringLiteral("answered %1 with %2, not a block").arg(query, quoted(m_input)));
        case Ieee488Block::Status::TooLarge:
            protocolError(QStringLiteral("announced a block of %1 bytes for %2, more than the "
                                         "limit of %3 bytes")
                              .arg(header.dataLength)
                              .arg(query)
                              .arg(m_profile.maxBlockSize));
        case Ieee488Block::Status::Definite: {
            const qsizetype total = header.headerLength + header.dataLength;
            m_input.reserve(total + 2);
            while (m_input.size() < total)
                fill(total - m_input.size(), until, query);
            // The data keeps the input's buffer; only what follows it is copied.
            QByteArray rest = m_input.sliced(total);
            QByteArray data = std::exchange(m_input, std::move(rest));
            data.truncate(total);
            data.remove(0, header.headerLength);
            takeTerminator();
            return data;
        }
        case Ieee488Block::Status::Indefinite: {
            // The data runs to the message terminator.
            qsizetype end;
            while ((end = m_input.indexOf('\n', header.headerLength)) < 0) {
                if (m_input.size() - header.headerLength > m_profile.maxBlockSize)
                    protocolError(QStringLiteral("answered %1 with a block of more than %2 bytes")
                                      .arg(query)
                                      .arg(m_profile.maxBlockSize));
                fill(m_profile.maxBlockSize + header.headerLength + 1 - m_input.size(), until,
                     query);
            }
            QByteArray data = m_input.mid(header.headerLength, end - header.headerLength);
            m_input.remove(0, end + 1);
            return data;
        }
        }
    }
}

void ScpiInstrument::takeTerminator() {
    if (m_input.isEmpty())
        m_input.append(m_transport->read(2, QDeadlineTimer(0)));
    if (m_input.startsWith("\r\n"))
        m_input.remove(0, 2);
    else if (m_input.startsWith('\n'))
        m_input.remove(0, 1);
}

QByteArray ScpiInstrument::query(const QString &query) {
    connectIfNeeded();
    return guarded([&] {
        const QDeadlineTimer until = deadline();
        discardInput();
        writeMessage(query.trimmed().toUtf8(), until);
        return readLine(until, query);
    });
}

void ScpiInstrument::send(const QString &commands) {
    connectIfNeeded();
    guarded([&] {
        discardInput();
        writeMessage(commands.trimmed().toUtf8(), deadline());
    });
}

QStringList ScpiInstrument::readErrors() {
    static const QRegularExpression errorForm(QStringLiteral("^[+-]?\\d+\\s*(,|$)"));
    QStringList errors;
    for (int i = 0; i < kMaxErrorsRead; ++i) {
        const QString error = QString::fromUtf8(query(QStringLiteral(":SYST:ERR?"))).trimmed();
        if (!errorForm.match(error).hasMatch())
            protocolError(QStringLiteral("answered :SYST:ERR? with ") + quoted(error.toUtf8()));
        if (error.section(QLatin1Char(','), 0, 0).toInt() == 0)
            break;
        errors.append(error);
    }
    return errors;
}

void ScpiInstrument::failOnInstrumentErrors(const QString &operation, QStringList errors) {
    errors += readErrors();
    if (!errors.isEmpty())
        refuse(ErrorNumber::Fail,
               QStringLiteral("%1 reported an error during the %2: %3")
                   .arg(resourceName(), operation, errors.join(QLatin1String("; "))));
}

// Errors from before belong to whatever the user did earlier: reported, not blamed on this
// operation, and not thrown away unless the profile says to clear them.
void ScpiInstrument::setAsidePriorErrors(const QString &operation) {
    m_warnings.clear();
    if (!m_profile.keepPriorErrors)
        return;
    const QStringList errors = readErrors();
    if (!errors.isEmpty())
        warn(QStringLiteral("%1: errors already queued before the %2: %3")
                 .arg(resourceName(), operation, errors.join(QLatin1String("; "))));
}

QVariant ScpiInstrument::CaptureState() {
    connectIfNeeded();
    setAsidePriorErrors(QStringLiteral("capture"));
    const QVariant state = guarded([this] {
        const QDeadlineTimer until = deadline();
        discardInput();
        const QByteArray query = m_profile.captureQuery.toUtf8();
        writeMessage(m_profile.keepPriorErrors ? query : kClear.toByteArray() + query, until);
        return m_profile.blockAnswer
                   ? QVariant(readBlock(until, m_profile.captureQuery))
                   : QVariant(QString::fromUtf8(readLine(until, m_profile.captureQuery)));
    });
    failOnInstrumentErrors(QStringLiteral("capture"));
    if ((m_profile.blockAnswer ? state.toByteArray().isEmpty()
                               : state.toString().trimmed().isEmpty()))
        refuse(ErrorNumber::Fail, QStringLiteral("%1 answered %2 with an empty setup")
                                      .arg(resourceName(), m_profile.captureQuery));
    return state;
}

void ScpiInstrument::awaitOperationCompleteBit(QDeadlineTimer until) {
    for (;;) {
        // Each poll is answered within a timeout of its own; the bit has to be set by until.
        const QByteArray answer = readLine(deadline(), QStringLiteral("*ESR?")).trimmed();
        bool ok = false;
        const int status = answer.toInt(&ok);
        if (!ok || status < 0 || status > 255)
            protocolError(QStringLiteral("answered *ESR? with ") + quoted(answer));
        if (status & kOperationComplete)
            return;
        if (until.hasExpired()) {
            disconnect();
            refuse(VisaStatus::Timeout,
                   QStringLiteral("%1 did not complete the restore within %2 ms (*ESR? polling)")
                       .arg(resourceName())
                       .arg(m_profile.timeoutMs));
        }
        pause(int(std::min<qint64>(m_profile.pollIntervalMs, until.remainingTime())));
        writeMessage("*ESR?", deadline());
    }
}

void ScpiInstrument::awaitCompletion(QDeadlineTimer until) {
    switch (m_profile.completion) {
    case InstrumentProfile::Completion::OpcQuery: {
        const QByteArray done = readLine(until, QStringLiteral("*OPC?")).trimmed();
        if (done != "1" && done != "+1")
            protocolError(QStringLiteral("answered *OPC? with ") + quoted(done));
        break;
    }
    case InstrumentProfile::Completion::EsrPolling:
        writeMessage("*ESR?", until);
        awaitOperationCompleteBit(until);
        break;
    case InstrumentProfile::Completion::Delay:
        pause(m_profile.completionDelayMs);
        break;
    case InstrumentProfile::Completion::Wait:
        // Whatever is asked next is answered only once the setup has been taken.
        break;
    }
}

void ScpiInstrument::RestoreState(const QVariant &state) {
    QByteArray commands;
    const VariantType type = variantTypeOf(state);
    const QByteArray completion = completionCommand(m_profile.completion);
    if (type == VariantType::String) {
        QByteArrayList lines;
        for (const QByteArray &line : state.toString().toUtf8().split('\n'))
            if (!line.trimmed().isEmpty())
                lines.append(line.trimmed());
        if (lines.isEmpty())
            refuse(ErrorNumber::InvalidProcedureCall,
                   QStringLiteral("The setup holds no commands"));
        while (lines.back().endsWith(';'))
            lines.back().chop(1);
        commands = lines.join('\n');
    } else if (type == VariantType::ByteArray) {
        if (m_profile.restoreCommand.isEmpty())
            refuse(
                ErrorNumber::TypeMismatch,
                QStringLiteral("%1 has no restore command for a setup block").arg(resourceName()));
        const QByteArray bytes = state.toByteArray();
        if (bytes.size() > m_profile.maxBlockSize)
            refuse(ErrorNumber::Overflow,
                   QStringLiteral("The setup of %1 bytes is larger than the limit of %2 bytes")
                       .arg(bytes.size())
                       .arg(m_profile.maxBlockSize));
        // The block goes straight into the one message buffer: it may be megabytes.
        const QByteArray command = m_profile.restoreCommand.toUtf8();
        commands.reserve(kClear.size() + command.size() + 1 + Ieee488Block::kMaxHeaderLength +
                         bytes.size() + completion.size() + 2);
        commands.append(command).append(' ');
        Ieee488Block::appendHeader(commands, bytes.size());
        commands.append(bytes);
    } else {
        refuse(ErrorNumber::TypeMismatch,
               QStringLiteral("A setup is text or bytes, not %1").arg(variantTypeName(type)));
    }
    const bool compound = m_profile.compoundMessages && !completion.isEmpty();
    if (compound)
        commands.append(';').append(completion);
    if (!m_profile.keepPriorErrors)
        commands.prepend(kClear);
    connectIfNeeded();
    setAsidePriorErrors(QStringLiteral("restore"));
    guarded([&] {
        const QDeadlineTimer until = deadline();
        discardInput();
        if (m_profile.completion == InstrumentProfile::Completion::EsrPolling) {
            // A bit left set by an earlier *OPC would end the wait before it began.
            writeMessage("*ESR?", until);
            readLine(until, QStringLiteral("*ESR?"));
        }
        writeMessage(std::move(commands), until);
        if (!compound && !completion.isEmpty())
            writeMessage(completion, until);
        awaitCompletion(until);
    });
    QStringList errors;
    if (m_profile.completion == InstrumentProfile::Completion::Wait)
        errors = readErrors();
    pause(m_profile.settleMs);
    failOnInstrumentErrors(QStringLiteral("restore"), errors);
}

ObjectRef ScpiInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return LegacySetupFile::import(fileName, progId);
}

} // namespace ixo
