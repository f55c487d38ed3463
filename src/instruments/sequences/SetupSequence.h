#pragma once

#include "automation/Export.h"
#include "instruments/InstrumentProfile.h"

#include <QStringList>
#include <QVariant>
#include <functional>

namespace ixo {

class AutomationError;
class ScpiInstrument;

// Runs a profile's capture or restore steps on an instrument, then its error check, then its
// cleanup steps, which run also after a failed step so that no temporary file is left behind.
// A failure names the step and what the instrument reported. Each step can be reported as it
// ends, for a step-by-step check of a profile.
class IXO_EXPORT SetupSequence {
public:
    struct StepReport {
        QString step; // with its variables filled in
        bool cleanup = false;
        qsizetype answerBytes = -1; // -1: the step has no answer
        QStringList errors;         // what the instrument queued, when asked after each step
        QString failure;
    };
    using Observer = std::function<void(const StepReport &)>;

    SetupSequence(ScpiInstrument &instrument, const InstrumentProfile &profile);

    void setObserver(Observer observer) { m_observer = std::move(observer); }
    // Reads the instrument's errors after every step, to see which one it refuses.
    void setErrorsAfterEachStep(bool on) { m_errorsAfterEachStep = on; }

    QVariant capture();
    void restore(const QVariant &setup);

    // Warnings of the cleanup, such as a temporary file the instrument would not delete.
    QStringList warnings() const { return m_warnings; }

private:
    enum class Operation { Capture, Restore };

    void run(const QList<ProfileStep> &steps, Operation operation);
    void runStep(const ProfileStep &step, qsizetype index, const QList<ProfileStep> &steps);
    void runCleanup();
    void checkErrors(const QString &after);
    void wait(const ProfileStep &step, int timeoutMs);
    void pollOperationComplete(const ProfileStep &step, int timeoutMs);
    QByteArray setupMessage(const ProfileStep &step) const;
    QString expanded(const QString &command) const;
    int timeoutOf(const ProfileStep &step) const;
    [[noreturn]] void failStep(const ProfileStep &step, qsizetype index, qsizetype count,
                               Operation operation, const AutomationError &error);
    void report(StepReport report);

    ScpiInstrument &m_instrument;
    const InstrumentProfile &m_profile;
    TemporaryFileRule::Name m_file;
    QVariant m_setup;
    // The answer of the last query: the setup, after a capture.
    QVariant m_answer;
    bool m_mergeNextWait = false;
    bool m_errorsAfterEachStep = false;
    bool m_inCleanup = false;
    Observer m_observer;
    StepReport m_current;
    QStringList m_warnings;
};

} // namespace ixo
