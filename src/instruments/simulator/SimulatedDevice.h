#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <mutex>

namespace ixo {

// The simulated signal generator's SCPI device model: a dozen settings, an arbitrary-waveform
// memory, the common commands, a learn string, a binary setup block and an error queue. The same
// model answers in-process (InProcessTransport) and over loopback (SimulatorServer). Thread-safe,
// so tests may inject faults while a server thread serves it.
class SimulatedDevice {
public:
    static const QString kManufacturer;
    static const QString kDefaultModel;
    static const QString kDefaultVersion;
    // The setup query answering a block, and the command taking it back.
    static const QString kSetupQuery;
    static const QString kSetupCommand;
    // The waveform memory (":ARB:DATA <block>", ":ARB:DATA?") is part of the setup block only,
    // since a learn string is text.
    static const QString kWaveformCommand;
    static constexpr qsizetype kMaxWaveform = qsizetype(4) * 1024 * 1024;
    static constexpr qsizetype kMaxMessage = kMaxWaveform + 64 * 1024;
    static constexpr int kErrorQueueSize = 32;
    // A stalled answer comes after this long: later than any client waits.
    static constexpr int kStallMs = 10 * 60 * 1000;
    // The simulator-only command injecting a fault by name (see faultNames()).
    static const QString kFaultCommand;

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

    // An answer, and how the connection delivers it.
    struct Reply {
        QByteArray bytes;
        int delayMs = 0;
        // Send half of the answer, then close the connection.
        bool dropHalfway = false;
    };

    explicit SimulatedDevice(QString model = kDefaultModel, QString version = kDefaultVersion,
                             QString serial = QStringLiteral("000001"));

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
    QString setting(const QString &header) const;
    QMap<QString, QString> settings() const;
    QByteArray waveform() const;
    // Queues an error as if a command had failed, e.g. for input the connection had to drop.
    void queueError(const QString &error);
    // A restore still being carried out (see delayNextRestore).
    bool operationPending() const;
    // The standard event status register, without reading (and so clearing) it.
    int eventStatus() const;

    // Fault injection. A capture is a message with *LRN? or the setup query; a restore is one
    // that changes settings. A failed capture answers empty and queues the error; a failed
    // restore changes nothing (its queries are answered) and queues the error. A delayed
    // restore is an operation that takes that long: *OPC? answers once it is done, *OPC sets
    // the operation complete bit of *ESR? then, and after *WAI every answer waits for it. The
    // garbled answer is sent verbatim instead of the next answer other than one of :SYST:ERR?.
    void failNextCapture(
        const QString &error = QStringLiteral("-200,\"Execution error; setup not available\""));
    void failNextRestore(const QString &error = QStringLiteral("-221,\"Settings conflict\""));
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
    struct Command {
        QString header;
        QByteArray parameter;
        bool hasParameter = false;
        bool isBlock = false;
    };

    bool parse(QByteArrayView message, QList<Command> &commands);
    QByteArray execute(const Command &command, bool blankCapture);
    void set(const Command &command);
    QByteArray learnString() const;
    QByteArray setupBlock() const;
    void restoreBlock(const QByteArray &block);
    void setWaveform(QByteArray waveform);
    Reply run(QByteArrayView message, bool withFaults);
    void reset();
    void injectFault(const QByteArray &name);
    void pushError(const QString &error);

    QString m_model;
    QString m_version;
    QString m_serial;
    QStringList m_values;
    QByteArray m_waveform;
    // Its checksum, kept so that a capture need not read the whole memory again.
    quint32 m_waveformCrc = 0;
    QStringList m_errors;

    QString m_failCapture;
    QString m_failRestore;
    int m_delayCapture = 0;
    int m_delayRestore = 0;
    int m_pendingDelay = 0;
    QDeadlineTimer m_busyUntil{0};
    // Set by *WAI: answers wait until then.
    QDeadlineTimer m_holdUntil{0};
    bool m_opcArmed = false;
    int m_eventStatus = 0;
    bool m_dropCapture = false;
    bool m_garble = false;
    QByteArray m_garbage;
    ProtocolFault m_protocolFault = ProtocolFault::None;

    mutable std::mutex m_mutex;
};

} // namespace ixo
