#pragma once

#include "automation/Export.h"
#include "instruments/InstrumentProfile.h"
#include "instruments/sequences/SetupSequence.h"
#include "support/CancellableInstrument.h"
#include "support/SetupInterface.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSet>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace ixo {

class InstrumentProfiles;
class InstrumentTransport;

// An SCPI instrument as the host's SetupInterface. Model and Version come from *IDN?, asked
// once per connection. How a setup is read and written is the instrument's profile: the learn
// string of *LRN? (a String) or an IEEE 488.2 block (a byte array) read by one query or by
// steps (a file in the instrument's memory, moved by transfer commands), or settings read one
// by one; a restore sends it back, awaits completion and empties the error queue, and can
// capture again to check that every setting took. Errors queued before a capture or restore are
// read first and reported as warnings, or cleared if the profile says so. Every exchange has a
// deadline and every answer a size limit, and a failure of the connection closes it, so the
// next call starts on a fresh one.
class IXO_EXPORT ScpiInstrument : public SetupInterface, public CancellableInstrument {
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

    QString resourceName() const override;
    using WarningHandler = std::function<void(const QString &)>;

    int timeout() const { return m_profile.timeoutMs; }
    void setTimeout(int milliseconds);
    qsizetype maxBlockSize() const { return m_profile.maxBlockSize; }
    void setMaxBlockSize(qsizetype bytes);

    QString captureQuery() const { return m_profile.captureQuery; }
    bool capturesBlocks() const { return m_profile.blockAnswer; }
    // Captures the text answer of query, *LRN? unless told otherwise.
    void setLearnQuery(const QString &query);
    // Captures the block answer of query; restoring bytes needs a restore command.
    void setSetupQuery(const QString &query);
    QString restoreCommand() const { return m_profile.restoreCommand; }
    // Restores a byte setup as "<command> <block>".
    void setRestoreCommand(const QString &command);

    // The profile in use, with what the setters above changed in it.
    const InstrumentProfile &profile() const { return m_profile; }
    // Uses this profile from now on, in place of the setters' values and of matching.
    void applyProfile(const InstrumentProfile &profile);
    // Uses the profile named (at once), or else, after each *IDN?, the one of profiles that
    // matches the instrument; values given to the setters stay. Raises InvalidProcedureCall
    // for a name profiles does not know.
    void useProfiles(std::shared_ptr<const InstrumentProfiles> profiles,
                     const QString &name = QString());

    // Captures again after each restore and warns of settings that did not take; on by the
    // profile's verifyRestore unless set here.
    void setVerifyRestore(bool on);
    bool verifiesRestore() const { return m_profile.verifyRestore; }

    // Runs the capture step by step without keeping it, reading the instrument's errors after
    // each step, and reports every step; raises what the capture would.
    void checkCapture(const std::function<void(const SetupSequence::StepReport &)> &report);

    // Called with each warning as it arises, such as errors the instrument had queued before
    // a capture; they are not the capture's failure, but nobody should lose them either.
    void setWarningHandler(WarningHandler handler) { m_warningHandler = std::move(handler); }
    // The warnings of the last capture or restore.
    QStringList warnings() const { return m_warnings; }

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

    Identity identity();
    // The *IDN? answer of an instrument that has one, else its model and firmware, as records
    // of what was restored where name it.
    static QString identityOf(SetupInterface &instrument);
    // One answer line, without its terminator.
    QByteArray query(const QString &query);
    void send(const QString &commands);
    // The errors the instrument reports in the profile's way: its error queue read until
    // "0,", or an error register.
    QStringList readErrors();
    void disconnect();
    bool isConnected() const;

    // The exchanges of a setup sequence, each within its own timeout; each connects first when
    // needed, and a failure closes the connection.
    void sendMessage(QByteArray message, int timeoutMs);
    QByteArray readAnswer(const QString &query, int timeoutMs);
    // A block, after the profile's answer prefix.
    QByteArray readBlockAnswer(const QString &query, int timeoutMs);
    // Closes the connection and raises an I/O error naming the resource.
    [[noreturn]] void failProtocol(const QString &what);
    // Instrument answers quoted in messages: short, and without control characters.
    static QString quoted(QByteArrayView bytes);
    // Ends the exchange in progress through the transport.
    void cancel() override;

private:
    void connectIfNeeded();
    template <typename Exchange> auto guarded(Exchange &&exchange);
    QDeadlineTimer deadline() const { return QDeadlineTimer(m_profile.timeoutMs); }
    void discardInput();
    QVariant captureWith(const InstrumentProfile &profile);
    void verifyRestore(const QVariant &restored, const QSet<QString> &leftAlone);
    [[noreturn]] void refuseRegistersOnly();
    void writeMessage(QByteArray message, QDeadlineTimer deadline);
    QByteArray readLine(QDeadlineTimer deadline, const QString &query);
    QByteArray readBlock(QDeadlineTimer deadline, const QString &query);
    void fill(qsizetype maxBytes, QDeadlineTimer deadline, const QString &query);
    void takeTerminator();
    QStringList readErrorQueue();
    void setAsidePriorErrors(const QString &operation);
    void applyOverrides();
    void warn(const QString &warning);

    std::unique_ptr<InstrumentTransport> m_transport;
    std::optional<Identity> m_identity;
    QByteArray m_input;
    InstrumentProfile m_profile;
    // What the setters changed, kept when a matching profile is applied.
    struct Overrides {
        std::optional<int> timeoutMs;
        std::optional<qsizetype> maxBlockSize;
        std::optional<std::pair<QString, bool>> capture;
        std::optional<QString> restoreCommand;
        std::optional<bool> verifyRestore;
    } m_overrides;
    // The limit of the exchange in progress, for its timeout message.
    int m_exchangeTimeoutMs = kDefaultTimeoutMs;
    std::shared_ptr<const InstrumentProfiles> m_profiles;
    bool m_profileForced = false;
    WarningHandler m_warningHandler;
    QStringList m_warnings;
};

} // namespace ixo
