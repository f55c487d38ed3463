#include "instruments/sequences/SetupSequence.h"

#include "automation/AutomationError.h"
#include "automation/ErrorNumber.h"
#include "automation/VariantType.h"
#include "instruments/Ieee488Block.h"
#include "instruments/ScpiInstrument.h"
#include "instruments/VisaStatus.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QThread>

namespace ixo {

namespace {

const QString kSetupSequenceSource = QStringLiteral("IxoInstrSetups.ScpiInstrument");
// The operation complete bit of the standard event status register.
constexpr int kOperationComplete = 1;

void pause(qint64 milliseconds) {
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

QString operationName(bool capture) {
    return capture ? QStringLiteral("capture") : QStringLiteral("restore");
}

// The command a wait sends, when it can ride at the end of the setup's message.
QByteArray completionCommand(ProfileStep::WaitFor waitFor) {
    switch (waitFor) {
    case ProfileStep::WaitFor::OpcQuery:
        return "*OPC?";
    case ProfileStep::WaitFor::Wai:
        return "*WAI";
    case ProfileStep::WaitFor::EsrPolling:
        return "*OPC";
    case ProfileStep::WaitFor::Delay:
        break;
    }
    return {};
}

// A text setup is commands, one per line or separated by ";": sent as they were read.
QByteArray textCommands(const QString &text) {
    QByteArrayList lines;
    for (const QByteArray &line : text.toUtf8().split('\n'))
        if (!line.trimmed().isEmpty())
            lines.append(line.trimmed());
    if (lines.isEmpty())
        throw AutomationError(ErrorNumber::InvalidProcedureCall, kSetupSequenceSource,
                              QStringLiteral("The setup holds no commands"));
    while (lines.back().endsWith(';'))
        lines.back().chop(1);
    return lines.join('\n');
}

} // namespace

SetupSequence::SetupSequence(ScpiInstrument &instrument, const InstrumentProfile &profile)
    : m_instrument(instrument)
    , m_profile(profile)
    , m_file(profile.file.make(QRandomGenerator::global()->generate())) {}

QVariant SetupSequence::capture() {
    const QList<ProfileStep> steps = m_profile.captureSteps();
    run(steps, Operation::Capture);
    const bool empty = variantTypeOf(m_answer) == VariantType::String
                           ? m_answer.toString().trimmed().isEmpty()
                           : m_answer.toByteArray().isEmpty();
    if (empty) {
        const auto last = std::find_if(steps.rbegin(), steps.rend(),
                                       [](const ProfileStep &step) { return step.isQuery(); });
        throw AutomationError(ErrorNumber::Fail, kSetupSequenceSource,
                              QStringLiteral("%1 answered %2 with an empty setup")
                                  .arg(m_instrument.resourceName(), expanded(last->command)));
    }
    return m_answer;
}

void SetupSequence::restore(const QVariant &setup) {
    const VariantType type = variantTypeOf(setup);
    if (type != VariantType::String && type != VariantType::ByteArray)
        throw AutomationError(
            ErrorNumber::TypeMismatch, kSetupSequenceSource,
            QStringLiteral("A setup is text or bytes, not %1").arg(variantTypeName(type)));
    const bool text = type == VariantType::String;
    const QList<ProfileStep> steps = m_profile.restoreSteps(text);
    for (const ProfileStep &step : steps) {
        if (step.kind == ProfileStep::Kind::SendSetup && !text &&
            step.command.trimmed() == ProfileStep::kSetup)
            throw AutomationError(ErrorNumber::TypeMismatch, kSetupSequenceSource,
                                  QStringLiteral("%1 has no restore command for a setup block")
                                      .arg(m_instrument.resourceName()));
    }
    if (!text && setup.toByteArray().size() > m_profile.maxBlockSize)
        throw AutomationError(
            ErrorNumber::Overflow, kSetupSequenceSource,
            QStringLiteral("The setup of %1 bytes is larger than the limit of %2 bytes")
                .arg(setup.toByteArray().size())
                .arg(m_profile.maxBlockSize));
    m_setup = setup;
    if (text)
        m_setup = QString::fromUtf8(textCommands(setup.toString()));
    const bool polls = std::any_of(steps.begin(), steps.end(), [](const ProfileStep &step) {
        return step.kind == ProfileStep::Kind::Wait &&
               step.waitFor == ProfileStep::WaitFor::EsrPolling;
    });
    if (polls) {
        // A bit left set by an earlier *OPC would end the wait before it began.
        m_instrument.sendMessage("*ESR?", m_profile.timeoutMs);
        m_instrument.readAnswer(QStringLiteral("*ESR?"), m_profile.timeoutMs);
    }
    run(steps, Operation::Restore);
}

void SetupSequence::run(const QList<ProfileStep> &steps, Operation operation) {
    const bool capture = operation == Operation::Capture;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        try {
            runStep(steps[i], i, steps);
        } catch (const AutomationError &error) {
            failStep(steps[i], i, steps.size(), operation, error);
        }
    }
    QStringList errors;
    try {
        if (!capture)
            pause(m_profile.settleMs);
        errors = m_instrument.readErrors();
    } catch (const AutomationError &) {
        runCleanup();
        throw;
    }
    runCleanup();
    if (!errors.isEmpty())
        throw AutomationError(ErrorNumber::Fail, kSetupSequenceSource,
                              QStringLiteral("%1 reported an error during the %2: %3")
                                  .arg(m_instrument.resourceName(), operationName(capture),
                                       errors.join(QLatin1String("; "))));
}

void SetupSequence::runStep(const ProfileStep &step, qsizetype index,
                            const QList<ProfileStep> &steps) {
    m_current = {};
    m_current.cleanup = m_inCleanup;
    m_current.step =
        ProfileStep{step.kind, expanded(step.command), step.waitFor, step.delayMs, step.timeoutMs}
            .description();
    const int timeout = timeoutOf(step);
    switch (step.kind) {
    case ProfileStep::Kind::Send:
        m_instrument.sendMessage(expanded(step.command).toUtf8(), timeout);
        break;
    case ProfileStep::Kind::QueryText: {
        m_instrument.sendMessage(expanded(step.command).toUtf8(), timeout);
        QString answer = QString::fromUtf8(m_instrument.readAnswer(step.command, timeout));
        if (!m_profile.answerPrefix.isEmpty() && answer.startsWith(m_profile.answerPrefix))
            answer.remove(0, m_profile.answerPrefix.size());
        m_current.answerBytes = answer.toUtf8().size();
        m_answer = answer;
        break;
    }
    case ProfileStep::Kind::QueryBlock: {
        m_instrument.sendMessage(expanded(step.command).toUtf8(), timeout);
        const QByteArray block = m_instrument.readBlockAnswer(step.command, timeout);
        m_current.answerBytes = block.size();
        m_answer = block;
        break;
    }
    case ProfileStep::Kind::SendSetup: {
        QByteArray message = setupMessage(step);
        // The completion command may ride at the end of the setup's own message.
        const bool nextIsWait =
            index + 1 < steps.size() && steps[index + 1].kind == ProfileStep::Kind::Wait;
        m_mergeNextWait = m_profile.compoundMessages && nextIsWait &&
                          !completionCommand(steps[index + 1].waitFor).isEmpty();
        if (m_mergeNextWait)
            message.append(';').append(completionCommand(steps[index + 1].waitFor));
        m_instrument.sendMessage(std::move(message), timeout);
        break;
    }
    case ProfileStep::Kind::Wait:
        wait(step, timeout);
        m_mergeNextWait = false;
        break;
    case ProfileStep::Kind::ReadErrors: {
        // The errors belong to the last step that asked the instrument to do something.
        QString after;
        for (qsizetype i = index - 1; i >= 0 && after.isEmpty(); --i)
            if (steps[i].kind != ProfileStep::Kind::Wait &&
                steps[i].kind != ProfileStep::Kind::ReadErrors)
                after = steps[i].description();
        checkErrors(after);
        break;
    }
    }
    if (m_errorsAfterEachStep && step.kind != ProfileStep::Kind::ReadErrors)
        m_current.errors = m_instrument.readErrors();
    report(m_current);
}

void SetupSequence::checkErrors(const QString &after) {
    const QStringList errors = m_instrument.readErrors();
    m_current.errors = errors;
    if (!errors.isEmpty())
        throw AutomationError(
            ErrorNumber::Fail, kSetupSequenceSource,
            QStringLiteral("%1 reported %2%3")
                .arg(m_instrument.resourceName(), errors.join(QLatin1String("; ")),
                     after.isEmpty() ? QString()
                                     : QStringLiteral(" after \"%1\"").arg(expanded(after))));
}

void SetupSequence::wait(const ProfileStep &step, int timeoutMs) {
    switch (step.waitFor) {
    case ProfileStep::WaitFor::OpcQuery: {
        if (!m_mergeNextWait)
            m_instrument.sendMessage("*OPC?", timeoutMs);
        const QByteArray done = m_instrument.readAnswer(QStringLiteral("*OPC?"), timeoutMs);
        if (done.trimmed() != "1" && done.trimmed() != "+1")
            m_instrument.failProtocol(QStringLiteral("answered *OPC? with ") +
                                      ScpiInstrument::quoted(done));
        break;
    }
    case ProfileStep::WaitFor::Wai:
        // Whatever is asked next is answered only once the instrument is done.
        if (!m_mergeNextWait)
            m_instrument.sendMessage("*WAI", timeoutMs);
        break;
    case ProfileStep::WaitFor::Delay:
        pause(step.delayMs);
        break;
    case ProfileStep::WaitFor::EsrPolling:
        if (!m_mergeNextWait)
            m_instrument.sendMessage("*OPC", timeoutMs);
        pollOperationComplete(step, timeoutMs);
        break;
    }
}

void SetupSequence::pollOperationComplete(const ProfileStep &step, int timeoutMs) {
    const QDeadlineTimer until(timeoutMs);
    for (;;) {
        m_instrument.sendMessage("*ESR?", m_profile.timeoutMs);
        const QByteArray answer =
            m_instrument.readAnswer(QStringLiteral("*ESR?"), m_profile.timeoutMs).trimmed();
        bool ok = false;
        const int status = answer.toInt(&ok);
        if (!ok || status < 0 || status > 255)
            m_instrument.failProtocol(QStringLiteral("answered *ESR? with ") +
                                      ScpiInstrument::quoted(answer));
        if (status & kOperationComplete)
            return;
        if (until.hasExpired()) {
            m_instrument.disconnect();
            throw AutomationError(VisaStatus::Timeout, kSetupSequenceSource,
                                  QStringLiteral("%1 did not complete the restore within %2 ms "
                                                 "(*ESR? polling)")
                                      .arg(m_instrument.resourceName())
                                      .arg(timeoutMs));
        }
        pause(std::min<qint64>(step.delayMs, until.remainingTime()));
    }
}

QByteArray SetupSequence::setupMessage(const ProfileStep &step) const {
    const QString command = expanded(step.command);
    const qsizetype at = command.indexOf(ProfileStep::kSetup);
    const QByteArray before = command.left(at).toUtf8();
    const QByteArray after = command.mid(at + ProfileStep::kSetup.size()).toUtf8();
    if (variantTypeOf(m_setup) == VariantType::String)
        return before + m_setup.toString().toUtf8() + after;
    // The block goes straight into the one message buffer: it may be megabytes.
    const QByteArray bytes = m_setup.toByteArray();
    QByteArray message;
    message.reserve(before.size() + Ieee488Block::kMaxHeaderLength + bytes.size() + after.size() +
                    8);
    message.append(before);
    Ieee488Block::appendHeader(message, bytes.size());
    message.append(bytes).append(after);
    return message;
}

QString SetupSequence::expanded(const QString &command) const {
    QString text = command;
    return text.replace(ProfileStep::kFileStem, m_file.stem)
        .replace(ProfileStep::kFile, m_file.path);
}

int SetupSequence::timeoutOf(const ProfileStep &step) const {
    return step.timeoutMs > 0 ? step.timeoutMs : m_profile.timeoutMs;
}

void SetupSequence::failStep(const ProfileStep &step, qsizetype index, qsizetype count,
                             Operation operation, const AutomationError &error) {
    QString description = error.description();
    m_current.failure = description;
    report(m_current);
    // Errors the instrument queued explain a refused step; a broken connection has none to tell.
    if (step.kind != ProfileStep::Kind::ReadErrors && m_instrument.isConnected()) {
        try {
            const QStringList errors = m_instrument.readErrors();
            if (!errors.isEmpty())
                description += QStringLiteral("; the instrument reported %1")
                                   .arg(errors.join(QLatin1String("; ")));
        } catch (const AutomationError &) {
        }
    }
    if (count > 1)
        description +=
            QStringLiteral(" (step %1 of %2 of the %3: %4)")
                .arg(index + 1)
                .arg(count)
                .arg(operationName(operation == Operation::Capture), expanded(step.description()));
    runCleanup();
    throw AutomationError(error.number(), error.source(), description);
}

void SetupSequence::runCleanup() {
    m_inCleanup = true;
    for (const ProfileStep &step : m_profile.cleanup) {
        try {
            runStep(step, 0, {step});
        } catch (const AutomationError &error) {
            m_warnings.append(QStringLiteral("%1: cleanup step \"%2\" failed: %3")
                                  .arg(m_instrument.resourceName(), expanded(step.description()),
                                       error.description()));
            m_current.failure = error.description();
            report(m_current);
            return;
        }
    }
    if (m_profile.cleanup.isEmpty())
        return;
    // What the cleanup refused, such as deleting a file a failed store never made, is told
    // but blamed on nothing.
    try {
        const QStringList errors = m_instrument.readErrors();
        if (!errors.isEmpty())
            m_warnings.append(
                QStringLiteral("%1: errors during the cleanup: %2")
                    .arg(m_instrument.resourceName(), errors.join(QLatin1String("; "))));
    } catch (const AutomationError &error) {
        m_warnings.append(error.description());
    }
}

void SetupSequence::report(StepReport report) {
    if (m_observer)
        m_observer(report);
}

} // namespace ixo
