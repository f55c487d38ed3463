#include "instruments/simulator/SimulatedState.h"

#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"

namespace ixo {

namespace {

// The codes Siglent's registers give the errors of a queue.
int registerCode(int code) {
    switch (code) {
    case -113:
        return 1;
    case -109:
        return 4;
    case -161:
        return 36;
    case -256:
        return 58;
    default:
        return code <= -200 ? 25 : 11;
    }
}

} // namespace

SimulatedState::SimulatedState(const SimulatedFamily &family, const QString &model,
                               const QString &version, const QString &serial)
    : family(family)
    , identity(family.identity.split(QLatin1Char(',')))
    , settings(family.settings)
    , applyDelayMs(family.applyDelayMs) {
    for (const auto &[index, text] : {std::pair{1, model}, {2, serial}, {3, version}})
        if (!text.isEmpty())
            identity[index] = text;
}

QByteArray SimulatedState::execute(const ScpiCommand &command,
                                   const SimulatedFamily::Command *handler) {
    if (!handler)
        ScpiError::raise(-113, "Undefined header", command.header.left(40));
    if (command.parameters.size() > handler->maxParameters)
        ScpiError::raise(-108, "Parameter not allowed", command.header);
    return handler->run(*this, command);
}

void SimulatedState::pushError(const ScpiError &error) {
    pushError(error.text(family.detailedErrors));
}

void SimulatedState::pushError(const QString &error) {
    // Command, execution, device-specific and query errors each have their status bit.
    const int code = error.section(QLatin1Char(','), 0, 0).toInt();
    if (code <= -100 && code > -500)
        eventStatus |= 0x20 >> (-code / 100 - 1);
    // A setup the instrument cannot apply fails in execution, though SCPI counts -161 among
    // the command errors.
    if (code <= -100 && code > -300)
        (code <= -200 || code == -161 ? executionError : commandError) = registerCode(code);
    if (errors.size() >= kErrorQueueSize) {
        errors.last() = QStringLiteral("-350,\"Queue overflow\"");
        return;
    }
    errors.append(error);
}

QByteArray SimulatedState::block(QByteArrayView data) const {
    QByteArray block;
    block.reserve(Ieee488Block::kMaxHeaderLength + data.size() + 1);
    Ieee488Block::appendHeader(block, data.size(), blockForm.value_or(family.blockForm),
                               family.blockDigits);
    block.append(data);
    return block;
}

QByteArray SimulatedState::setupBlock() const {
    if (blankCapture)
        return block({});
    // Built in place with room for the terminator: the waveform may be megabytes.
    const qsizetype size = settings.setupSize(family.setupMagic);
    QByteArray block;
    block.reserve(Ieee488Block::kMaxHeaderLength + size + 1);
    Ieee488Block::appendHeader(block, size, blockForm.value_or(family.blockForm),
                               family.blockDigits);
    settings.appendSetup(block, family.setupMagic);
    return block;
}

QByteArray SimulatedState::setup() const {
    QByteArray setup;
    settings.appendSetup(setup, family.setupMagic);
    return setup;
}

void SimulatedState::restore(QByteArrayView setup) {
    settings.restoreSetup(setup, family.setupMagic);
    if (applyDelayMs > 0)
        busyUntil = QDeadlineTimer(applyDelayMs);
}

QByteArray SimulatedState::headed(QByteArrayView header, const QByteArray &answer) const {
    return headers ? header.toByteArray() + ' ' + answer : answer;
}

} // namespace ixo
