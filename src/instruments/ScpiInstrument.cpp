#include "instruments/ScpiInstrument.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/InstrumentProfiles.h"
#include "instruments/ResourceString.h"
#include "instruments/VisaStatus.h"
#include "instruments/sequences/RestoreVerification.h"
#include "instruments/sequences/SettingsList.h"
#include "instruments/transports/InstrumentTransport.h"
#include "support/LegacySetupFile.h"

#include <QRegularExpression>
#include <QStringList>

namespace ixo {

namespace {

const QString kScpiInstrumentSource = QStringLiteral("IxoInstrSetups.ScpiInstrument");
constexpr qsizetype kMaxQuotedAnswer = 60;
constexpr QByteArrayView kClear = "*CLS";

[[noreturn]] void refuse(std::int32_t number, const QString &why) {
    throw AutomationError(number, kScpiInstrumentSource, why);
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
    if (m_overrides.verifyRestore)
        m_profile.verifyRestore = *m_overrides.verifyRestore;
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

QString ScpiInstrument::quoted(QByteArrayView bytes) {
    QString text;
    for (const char c : bytes.first(std::min(bytes.size(), kMaxQuotedAnswer))) {
        const auto u = static_cast<unsigned char>(c);
        text += u >= 0x20 && u < 0x7F ? QString(QLatin1Char(c))
                                      : QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
    }
    if (bytes.size() > kMaxQuotedAnswer)
        text += QStringLiteral("...");
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool ScpiInstrument::isConnected() const {
    return m_identity && m_transport->isOpen();
}

void ScpiInstrument::failProtocol(const QString &what) {
    disconnect();
    refuse(VisaStatus::Io, resourceName() + QLatin1Char(' ') + what);
}

void ScpiInstrument::connectIfNeeded() {
    if (m_identity && m_transport->isOpen())
        return;
    disconnect();
    m_exchangeTimeoutMs = m_profile.timeoutMs;
    guarded([this] {
        const QDeadlineTimer until = deadline();
        m_transport->open(until);
        writeMessage("*IDN?", until);
        const QByteArray answer = readLine(until, QStringLiteral("*IDN?"));
        QStringList fields = QString::fromUtf8(answer).split(QLatin1Char(','));
        for (QString &field : fields)
            field = field.trimmed();
        if (fields.size() < 4 || fields[1].isEmpty())
            failProtocol(QStringLiteral("did not identify itself: *IDN? answered ") +
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
                                        .arg(m_exchangeTimeoutMs));
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
            failProtocol(QStringLiteral("answered %1 with more than %2 bytes")
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
            failProtocol(
                QStringLiteral("answered %1 with %2, not a block").arg(query, quoted(m_input)));
        case Ieee488Block::Status::TooLarge:
            failProtocol(QStringLiteral("announced a block of %1 bytes for %2, more than the "
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
            if (m_profile.lineFeedAfterBlock)
                takeTerminator();
            return data;
        }
        case Ieee488Block::Status::Indefinite: {
            // The data runs to the message terminator.
            qsizetype end;
            while ((end = m_input.indexOf('\n', header.headerLength)) < 0) {
                if (m_input.size() - header.headerLength > m_profile.maxBlockSize)
                    failProtocol(QStringLiteral("answered %1 with a block of more than %2 bytes")
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
    m_exchangeTimeoutMs = m_profile.timeoutMs;
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

void ScpiInstrument::sendMessage(QByteArray message, int timeoutMs) {
    connectIfNeeded();
    guarded([&] {
        discardInput();
        writeMessage(std::move(message), QDeadlineTimer(timeoutMs));
    });
}

QByteArray ScpiInstrument::readAnswer(const QString &query, int timeoutMs) {
    m_exchangeTimeoutMs = timeoutMs;
    return guarded([&] { return readLine(QDeadlineTimer(timeoutMs), query); });
}

QByteArray ScpiInstrument::readBlockAnswer(const QString &query, int timeoutMs) {
    m_exchangeTimeoutMs = timeoutMs;
    return guarded([&] {
        const QDeadlineTimer until(timeoutMs);
        const QByteArray prefix = m_profile.answerPrefix.toUtf8();
        while (!prefix.isEmpty() && m_input.size() < prefix.size() && prefix.startsWith(m_input))
            fill(prefix.size() - m_input.size(), until, query);
        if (!prefix.isEmpty() && m_input.startsWith(prefix))
            m_input.remove(0, prefix.size());
        return readBlock(until, query);
    });
}

QStringList ScpiInstrument::readErrorQueue() {
    static const QRegularExpression errorForm(QStringLiteral("^[+-]?\\d+\\s*(,|$)"));
    const QString errorQuery = m_profile.errors.query;
    QStringList errors;
    for (int i = 0; i < kMaxErrorsRead; ++i) {
        const QString error = QString::fromUtf8(query(errorQuery)).trimmed();
        if (!errorForm.match(error).hasMatch())
            failProtocol(QStringLiteral("answered %1 with ").arg(errorQuery) +
                         quoted(error.toUtf8()));
        if (error.section(QLatin1Char(','), 0, 0).toInt() == 0)
            break;
        errors.append(error);
    }
    return errors;
}

QStringList ScpiInstrument::readErrors() {
    switch (m_profile.errors.form) {
    case ErrorReporting::Form::None:
        return {};
    case ErrorReporting::Form::Queue:
        return readErrorQueue();
    case ErrorReporting::Form::Register:
        break;
    }
    const QByteArray answer = query(m_profile.errors.query);
    QStringList errors;
    for (const QByteArray &part : answer.split(';')) {
        bool ok = false;
        const QString error = m_profile.errors.registerError(part, &ok);
        if (!ok)
            failProtocol(QStringLiteral("answered %1 with ").arg(m_profile.errors.query) +
                         quoted(answer));
        if (!error.isEmpty())
            errors.append(error);
    }
    return errors;
}

// Errors from before belong to whatever the user did earlier: reported, not blamed on this
// operation, and not thrown away unless the profile says to clear them.
void ScpiInstrument::setAsidePriorErrors(const QString &operation) {
    m_warnings.clear();
    if (!m_profile.keepPriorErrors) {
        sendMessage(kClear.toByteArray(), m_profile.timeoutMs);
        return;
    }
    const QStringList errors = readErrors();
    if (!errors.isEmpty())
        warn(QStringLiteral("%1: errors already queued before the %2: %3")
                 .arg(resourceName(), operation, errors.join(QLatin1String("; "))));
}

void ScpiInstrument::refuseRegistersOnly() {
    refuse(ErrorNumber::InvalidProcedureCall,
           QStringLiteral("%1 (%2) keeps its setups only in *SAV/*RCL registers, which cannot be "
                          "read out; profile \"%3\" has no way to capture or restore them. Write "
                          "a profile that lists the instrument's settings (\"settings\", see "
                          "docs/profiles.md)")
               .arg(resourceName(), m_identity ? m_identity->model : QString(), m_profile.name));
}

QVariant ScpiInstrument::captureWith(const InstrumentProfile &profile) {
    switch (profile.method()) {
    case InstrumentProfile::Method::RegistersOnly:
        refuseRegistersOnly();
    case InstrumentProfile::Method::Settings:
        return SettingsList(*this, profile).capture();
    case InstrumentProfile::Method::Steps:
        break;
    }
    SetupSequence sequence(*this, profile);
    const QVariant setup = sequence.capture();
    for (const QString &warning : sequence.warnings())
        warn(warning);
    return setup;
}

QVariant ScpiInstrument::CaptureState() {
    connectIfNeeded();
    if (m_profile.method() == InstrumentProfile::Method::RegistersOnly)
        refuseRegistersOnly();
    setAsidePriorErrors(QStringLiteral("capture"));
    return captureWith(m_profile);
}

void ScpiInstrument::checkCapture(
    const std::function<void(const SetupSequence::StepReport &)> &report) {
    connectIfNeeded();
    if (m_profile.method() != InstrumentProfile::Method::Steps) {
        captureWith(m_profile);
        return;
    }
    setAsidePriorErrors(QStringLiteral("capture"));
    SetupSequence sequence(*this, m_profile);
    sequence.setObserver(report);
    sequence.setErrorsAfterEachStep(true);
    sequence.capture();
}

void ScpiInstrument::setVerifyRestore(bool on) {
    m_profile.verifyRestore = on;
    m_overrides.verifyRestore = on;
}

void ScpiInstrument::verifyRestore(const QVariant &restored, const QSet<QString> &leftAlone) {
    const QVariant readBack = captureWith(m_profile);
    const QStringList differences = RestoreVerification::differences(restored, readBack, leftAlone);
    if (!differences.isEmpty())
        warn(QStringLiteral("%1: settings that did not take: %2")
                 .arg(resourceName(), differences.join(QLatin1String("; "))));
}

void ScpiInstrument::RestoreState(const QVariant &state) {
    connectIfNeeded();
    QSet<QString> leftAlone;
    switch (m_profile.method()) {
    case InstrumentProfile::Method::RegistersOnly:
        refuseRegistersOnly();
    case InstrumentProfile::Method::Settings: {
        if (variantTypeOf(state) != VariantType::String)
            refuse(ErrorNumber::TypeMismatch,
                   QStringLiteral("%1 takes a setup of settings, which is text, not %2")
                       .arg(resourceName(), variantTypeName(variantTypeOf(state))));
        setAsidePriorErrors(QStringLiteral("restore"));
        SettingsList settings(*this, m_profile);
        settings.restore(state.toString());
        for (const QString &warning : settings.warnings())
            warn(warning);
        leftAlone = settings.leftAlone();
        break;
    }
    case InstrumentProfile::Method::Steps: {
        SetupSequence sequence(*this, m_profile);
        setAsidePriorErrors(QStringLiteral("restore"));
        sequence.restore(state);
        for (const QString &warning : sequence.warnings())
            warn(warning);
        break;
    }
    }
    if (m_profile.verifyRestore)
        verifyRestore(state, leftAlone);
}

ObjectRef ScpiInstrument::ImportLegacyFile(const QString &fileName, const QString &progId) {
    return LegacySetupFile::import(fileName, progId);
}

QString ScpiInstrument::identityOf(SetupInterface &instrument) {
    if (auto *scpi = dynamic_cast<ScpiInstrument *>(&instrument)) {
        const Identity id = scpi->identity();
        return QStringList{id.manufacturer, id.model, id.serial, id.firmware}.join(
            QLatin1Char(','));
    }
    return QStringLiteral("%1 %2").arg(instrument.Model(), instrument.Version());
}

} // namespace ixo
