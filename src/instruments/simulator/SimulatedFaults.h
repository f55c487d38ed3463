#pragma once

#include "automation/Export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ixo {

// The faults pending on a simulated instrument; SimulatedDevice says what each does.
struct IXO_EXPORT SimulatedFaults {
    // Faults of a protocol rather than of the device; each server acts on those of its own
    // protocol and leaves the others pending.
    enum class ProtocolFault {
        None,
        // The next VXI-11 read reply answers another RPC call (xid).
        WrongXid,
        // The next VXI-11 read reply announces a record far larger than any limit.
        Oversize,
        // The next HiSLIP answer is a FatalError message.
        Fatal,
    };

    // A stalled answer comes after this long: later than any client waits.
    static constexpr int kStallMs = 10 * 60 * 1000;

    // The names :SIMulate:FAULt takes, as help text lists them.
    static QStringList names();
    // Raises "Illegal parameter value" for another name.
    void inject(const QByteArray &name);
    // Whether the next command failure is due for this header, which clears it.
    bool takeCommandFailure(const QString &header);

    QString failCapture;
    QString failRestore;
    int delayCapture = 0;
    int delayRestore = 0;
    bool dropCapture = false;
    bool garble = false;
    QByteArray garbage;
    ProtocolFault protocolFault = ProtocolFault::None;
    // The mnemonic of the next command to fail, and its error.
    QString failCommand;
    QString failCommandError;
};

} // namespace ixo
