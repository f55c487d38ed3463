#include "instruments/simulator/SimulatedFaults.h"

#include "instruments/simulator/ScpiCommand.h"
#include "instruments/simulator/ScpiError.h"

namespace ixo {

QStringList SimulatedFaults::names() {
    return {QStringLiteral("DROP"), QStringLiteral("STALL"),    QStringLiteral("GARBAGE"),
            QStringLiteral("XID"),  QStringLiteral("OVERSIZE"), QStringLiteral("FATAL")};
}

void SimulatedFaults::inject(const QByteArray &name) {
    if (name == "DROP")
        dropCapture = true;
    else if (name == "STALL")
        delayCapture = kStallMs;
    else if (name == "GARBAGE") {
        garble = true;
        garbage = QByteArrayLiteral("\x01\xFEgarbage\x7F#9\n");
    } else if (name == "XID")
        protocolFault = ProtocolFault::WrongXid;
    else if (name == "OVERSIZE")
        protocolFault = ProtocolFault::Oversize;
    else if (name == "FATAL")
        protocolFault = ProtocolFault::Fatal;
    else
        ScpiError::raise(-224, "Illegal parameter value",
                         QStringLiteral(":SIMulate:FAULt ") + QString::fromLatin1(name.left(40)));
}

bool SimulatedFaults::takeCommandFailure(const QString &header) {
    if (failCommand.isEmpty() || !ScpiCommand::matches(failCommand, header))
        return false;
    failCommand.clear();
    return true;
}

} // namespace ixo
