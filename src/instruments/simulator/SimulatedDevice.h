#pragma once

#include "automation/Export.h"
#include "instruments/Ieee488Block.h"
#include "instruments/simulator/SimulatedState.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>

namespace ixo {

// A simulated SCPI instrument of one family (see familyNames()): by default the ixo signal
// generator with a dozen settings, an arbitrary-waveform memory, a learn string and a binary
// setup block; the others speak the setup commands of real instruments. The same model answers
// in-process (InProcessTransport) and over loopback (SimulatorServer). Thread-safe, so tests may
// inject faults while a server thread serves it.
class IXO_EXPORT SimulatedDevice {
public:
    static const QString kManufacturer;
    static const QString kDefaultModel;
    static const QString kDefaultVersion;
    static const QString kDefaultFamily;
    // The ixo setup query answering a block, and the command taking it back.
    static const QString kSetupQuery;
    static const QString kSetupCommand;
    // The waveform memory (":ARB:DATA <block>", ":ARB:DATA?") is part of the setup block only,
    // since a learn string is text.
    static const QString kWaveformCommand;
    static constexpr qsizetype kMaxWaveform = SimulatedSettings::kMaxWaveform;
    static constexpr qsizetype kMaxMessage = kMaxWaveform + 64 * 1024;
    static constexpr int kErrorQueueSize = SimulatedState::kErrorQueueSize;
    static constexpr int kStallMs = SimulatedFaults::kStallMs;
    // The simulator-only command injecting a fault by name (see faultNames()).
    static const QString kFaultCommand;

    using ProtocolFault = SimulatedFaults::ProtocolFault;

    // An answer, and how the connection delivers it.
    struct Reply {
        QByteArray bytes;
        int delayMs = 0;
        // Send half of the answer, then close the connection.
        bool dropHalfway = false;
    };

    explicit SimulatedDevice(QString model = kDefaultModel, QString version = kDefaultVersion,
                             QString serial = QStringLiteral("000001"));
    // Model, version and serial number, when not empty, replace the family's.
    explicit SimulatedDevice(const SimulatedFamily &family, const QString &model = {},
                             const QString &version = {}, const QString &serial = {});
    // nullptr for a name not in familyNames().
    static std::shared_ptr<SimulatedDevice> forFamily(const QString &family,
                                                      const QString &model = {},
                                                      const QString &version = {},
                                                      const QString &serial = {});
    static QStringList familyNames();
    // One line saying what the family is and how it keeps setups; empty for another name.
    static QString familyDescription(const QString &family);
    // What the family's *IDN? answers by default; empty for another name.
    static QString familyIdentity(const QString &family);

    QString family() const;
    QString model() const;
    QString version() const;
    QString identity() const;

    // The length of the first complete program message in input, terminator included; 0 while
    // incomplete; -1 when it cannot complete within kMaxMessage.
    static qsizetype messageLength(QByteArrayView input);
    // Runs one program message (commands separated by ";") and answers its queries.
    Reply process(QByteArrayView message);

    // Changes settings directly, all or nothing; raises the instrument's errors.
    void apply(const QByteArray &commands);
    // Keyed by the short form of the family's setting headers, e.g. ":FREQ", and with the
    // output of the instruments that have several, e.g. ":SOUR:VOLT (@2)"; setting() takes any
    // form of the header.
    QString setting(const QString &header) const;
    QMap<QString, QString> settings() const;
    QByteArray waveform() const;
    // Fills the waveform memory of any family, whose setups then carry it: large setups for
    // measurements.
    void loadWaveform(QByteArray waveform);
    // Queues an error as if a command had failed, e.g. for input the connection had to drop.
    void queueError(const QString &error);
    // A restore still being carried out (see delayNextRestore).
    bool operationPending() const;
    // The standard event status register, without reading (and so clearing) it.
    int eventStatus() const;

    // The mass memory of the families that keep setups as files.
    QStringList files() const;
    std::optional<QByteArray> file(const QString &path) const;
    void putFile(const QString &path, const QByteArray &bytes);

    // How long applying a setup keeps the device busy, as delayNextRestore does once.
    void setApplyDelay(int milliseconds);
    // Forces the form of every block answer; nullopt for the family's own.
    void setBlockForm(std::optional<Ieee488Block::Form> form);

    // Fault injection. A capture is a message with *LRN? or the family's setup or file read
    // query; a restore is one that changes settings. A failed capture answers empty and queues
    // the error; a failed restore changes nothing (its queries are answered) and queues the
    // error. A delayed restore is an operation that takes that long: *OPC? answers once it is
    // done, *OPC sets the operation complete bit of *ESR? then, and after *WAI every answer
    // waits for it. The garbled answer is sent verbatim instead of the next answer other than
    // one of the error queue.
    void failNextCapture(
        const QString &error = QStringLiteral("-200,\"Execution error; setup not available\""));
    void failNextRestore(const QString &error = QStringLiteral("-221,\"Settings conflict\""));
    // The next command with this header (any form of it, e.g. "MMEM:LOAD:STAT") does nothing
    // and queues the error.
    void failNextCommand(const QString &mnemonic, const QString &error);
    void delayNextCapture(int milliseconds);
    void delayNextRestore(int milliseconds);
    void dropNextCapture();
    void garbleNextAnswer(const QByteArray &bytes);
    void stallNextCapture() { delayNextCapture(kStallMs); }
    void injectProtocolFault(ProtocolFault fault);
    // The pending protocol fault when it is one of handled, which clears it; None otherwise.
    ProtocolFault takeProtocolFault(std::initializer_list<ProtocolFault> handled);
    // The names :SIMulate:FAULt takes, as help text lists them.
    static QStringList faultNames();

private:
    using Handlers = QList<const SimulatedFamily::Command *>;

    Reply run(QByteArrayView message, bool withFaults);
    // Applies the faults due for a message; false when its changes are refused.
    bool startFaults(const Handlers &handlers, const QList<ScpiCommand> &commands, Reply &reply);
    QByteArrayList answers(const Handlers &handlers, const QList<ScpiCommand> &commands,
                           bool withFaults, bool refuseChanges);

    SimulatedState m_state;
    // Capture delays not yet spent on an answer.
    int m_pendingDelay = 0;
    mutable std::mutex m_mutex;
};

} // namespace ixo
