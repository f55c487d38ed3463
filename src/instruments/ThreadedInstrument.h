#pragma once

#include "support/SetupInterface.h"

#include <QThreadPool>
#include <functional>

namespace ixo {

// Gives every call to an instrument to one thread of its own and waits for it, so that the
// instrument's connection stays on the thread that made it while callers come from any
// thread - such as a bench capturing all its instruments at once. The instrument is let go on
// that thread too.
class ThreadedInstrument : public SetupInterface {
public:
    explicit ThreadedInstrument(SetupInterfaceRef instrument);
    ~ThreadedInstrument() override;
    ThreadedInstrument(const ThreadedInstrument &) = delete;
    ThreadedInstrument &operator=(const ThreadedInstrument &) = delete;

    const SetupInterfaceRef &instrument() const { return m_instrument; }

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

private:
    // Runs work on the instrument's thread; its error is raised here.
    void run(const std::function<void()> &work);

    SetupInterfaceRef m_instrument;
    QThreadPool m_thread;
};

} // namespace ixo
