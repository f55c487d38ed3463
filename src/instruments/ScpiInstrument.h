#pragma once

#include "support/SetupInterface.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QStringList>
#include <memory>
#include <optional>

namespace ixo {

class InstrumentTransport;

// An SCPI instrument as the host's SetupInterface. Model and Version come from *IDN?, asked
// once per connection. A capture is the learn string of *LRN? (a String) or, with a setup
// query, an IEEE 488.2 block (a byte array); a restore sends it back, then waits on *OPC? and
// empties :SYST:ERR?. Every exchange has a deadline and every answer a size limit, and a
// failure of the connection closes it, so the next call starts on a fresh one.
class ScpiInstrument : public SetupInterface {
public:
    static constexpr int kDefaultTimeoutMs = 5000;
    static constexpr qsizetype kDefaultMaxBlockSize = qsizetype(64) * 1024 * 1024;
    static constexpr int kMaxErrorsRead = 64;
    static const QString kLearnQuery;

    struct Identity {
        QString manufacturer;
        QString model;
        QString serial;
        QString firmware;
    };

    // A VISA resource string such as "TCPIP::192.168.1.20::5025::SOCKET"; connects on first use.
    explicit ScpiInstrument(const QString &resourceName);
    explicit ScpiInstrument(std::unique_ptr<InstrumentTransport> transport);
    ~ScpiInstrument() override;

    QString resourceName() const;
    int timeout() const { return m_timeoutMs; }
    void setTimeout(int milliseconds);
    qsizetype maxBlockSize() const { return m_maxBlockSize; }
    void setMaxBlockSize(qsizetype bytes);

    QString captureQuery() const { return m_captureQuery; }
    bool capturesBlocks() const { return m_capturesBlocks; }
    // Captures the text answer of query, *LRN? unless told otherwise.
    void setLearnQuery(const QString &query);
    // Captures the block answer of query; restoring bytes needs a restore command.
    void setSetupQuery(const QString &query);
    QString restoreCommand() const { return m_restoreCommand; }
    // Restores a byte setup as "<command> <block>".
    void setRestoreCommand(const QString &command);

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    Identity identity();
    // One answer line, without its terminator.
    QByteArray query(const QString &query);
    void send(const QString &commands);
    // The instrument's error queue, read until "0,".
    QStringList readErrors();
    void disconnect();
    // From another thread: ends the exchange in progress through the transport; the call
    // waiting on it fails and the connection is opened anew on the next one.
    void cancel();

private:
    void connectIfNeeded();
    template <typename Exchange> auto guarded(Exchange &&exchange);
    QDeadlineTimer deadline() const { return QDeadlineTimer(m_timeoutMs); }
    void discardInput();
    void writeMessage(const QByteArray &message, QDeadlineTimer deadline);
    QByteArray readLine(QDeadlineTimer deadline, const QString &query);
    QByteArray readBlock(QDeadlineTimer deadline, const QString &query);
    void fill(qsizetype maxBytes, QDeadlineTimer deadline, const QString &query);
    void takeTerminator();
    void failOnInstrumentErrors(const QString &operation);
    [[noreturn]] void protocolError(const QString &what);

    std::unique_ptr<InstrumentTransport> m_transport;
    std::optional<Identity> m_identity;
    QByteArray m_input;
    int m_timeoutMs = kDefaultTimeoutMs;
    qsizetype m_maxBlockSize = kDefaultMaxBlockSize;
    QString m_captureQuery = kLearnQuery;
    bool m_capturesBlocks = false;
    QString m_restoreCommand;
};

} // namespace ixo
