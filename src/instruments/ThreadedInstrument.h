#pragma once

#include "automation/Export.h"
#include "support/SetupInterface.h"

#include <QThreadPool>
#include <functional>

namespace ixo {

// An instrument that lives on a thread of its own: it is made there, every call is handed to
// that thread and waited for, and it is let go there. Qt sockets belong to the thread that
// created them and must be used from it, so an instrument made elsewhere and called from here
// would talk over a socket of another thread. Callers may come from any thread, such as a
// bench capturing all its instruments at once.
class IXO_EXPORT ThreadedInstrument : public SetupInterface {
public:
    using Maker = std::function<SetupInterfaceRef()>;

    // Raises what make raises.
    explicit ThreadedInstrument(const Maker &make);
    ~ThreadedInstrument() override;
    ThreadedInstrument(const ThreadedInstrument &) = delete;
    ThreadedInstrument &operator=(const ThreadedInstrument &) = delete;

    QString Model() override;
    QVariant CaptureState() override;
    void RestoreState(const QVariant &state) override;
    QString Version() override;
    ObjectRef ImportLegacyFile(const QString &fileName, const QString &progId) override;

private:
    // Runs work on the instrument's thread; its error is raised here.
    void run(const std::function<void()> &work);

    SetupInterfaceRef m_instrument;
    // One thread that never expires, so that every task runs on the same one.
    QThreadPool m_thread;
};

} // namespace ixo
